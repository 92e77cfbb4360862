// The settings keys, their registered fallbacks and the weather service's language table.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <utility>

namespace stratovane {

namespace SettingsKey {
inline constexpr const char* latitude = "latitude";
inline constexpr const char* longitude = "longitude";
inline constexpr const char* apiKey = "apiKey";
inline constexpr const char* statusBarOption = "statusBarOption";
inline constexpr const char* units = "units";
inline constexpr const char* interval = "interval";
inline constexpr const char* language = "language";
inline constexpr const char* decimals = "decimals";
inline constexpr const char* mapType = "mapType";
// The weather endpoint without its query; absent means One Call 2.5. Not registered.
inline constexpr const char* weatherEndpoint = "weatherEndpoint";
// 0 turns off the desktop notification of weather alerts.
inline constexpr const char* notifyAlerts = "notifyAlerts";
}  // namespace SettingsKey

// Posted with no object once the settings view has stored the settings.
inline constexpr const char* SettingsChanged = "SettingsChanged";

// Registered at every start, in this order; all of them as texts.
inline constexpr std::array<std::pair<const char*, const char*>, 10> registeredDefaults{{
    {SettingsKey::latitude, "59.4040015148249"},
    {SettingsKey::longitude, "17.994089135126462"},
    {SettingsKey::apiKey, ""},
    {SettingsKey::statusBarOption, "-1"},
    {SettingsKey::units, "0"},
    {SettingsKey::interval, "30"},
    {SettingsKey::language, "2"},
    {SettingsKey::decimals, "0"},
    {SettingsKey::mapType, "0"},
    {SettingsKey::notifyAlerts, "1"},
}};

// The service's `lang` codes, indexed by the "language" setting; the order is fixed.
inline constexpr std::array<std::string_view, 18> feedLanguages{"da", "de", "en", "es", "et", "fr",
                                                                "el", "he", "is", "it", "lv", "nl",
                                                                "no", "pl", "pt", "ru", "fi", "sv"};

// Used for a stored "language" outside the table: the registered default, "en".
inline constexpr std::size_t defaultLanguageIndex = 2;

// The `lang` code the request carries for a stored "language" setting.
constexpr std::string_view feedLanguageCode(std::int64_t language) {
  return language >= 0 && static_cast<std::uint64_t>(language) < feedLanguages.size()
             ? feedLanguages[static_cast<std::size_t>(language)]
             : feedLanguages[defaultLanguageIndex];
}

}  // namespace stratovane
