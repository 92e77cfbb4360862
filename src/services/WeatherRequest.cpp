// Building and checking the weather request URL.
#include "services/WeatherRequest.h"

#include <utility>

#include "platform/Settings.h"
#include "presentation/formatReading.h"

namespace stratovane {

std::string weatherEndpointFor(const std::optional<std::string>& environment,
                               const UserDefaults& defaults) {
  if (environment && !environment->empty()) return *environment;
  auto chosen = defaults.stringForKey(SettingsKey::weatherEndpoint);
  return chosen && !chosen->empty() ? std::move(*chosen) : defaultWeatherEndpoint;
}

std::string weatherRequestURL(std::string_view endpoint, const UserDefaults& defaults,
                              std::string_view apiKey) {
  const double latitude = defaults.doubleForKey(SettingsKey::latitude);
  const double longitude = defaults.doubleForKey(SettingsKey::longitude);
  const bool metric = defaults.integerForKey(SettingsKey::units) == 0;

  std::string url(endpoint);
  url += "?lat=";
  url += plainDouble(latitude);
  url += "&lon=";
  url += plainDouble(longitude);
  url += metric ? "&units=metric" : "&units=imperial";
  url += "&lang=";
  url += feedLanguageCode(defaults.integerForKey(SettingsKey::language));
  url += "&appid=";
  url += apiKey;
  return url;
}

namespace {
bool isHexDigit(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
}  // namespace

bool isValidURL(std::string_view text) {
  if (text.empty()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c <= 0x20 || c >= 0x7F) return false;
    if (std::string_view("<>\"{}|\\^`").find(static_cast<char>(c)) != std::string_view::npos)
      return false;
    if (c == '%') {
      if (i + 2 >= text.size() || !isHexDigit(text[i + 1]) || !isHexDigit(text[i + 2]))
        return false;
    }
  }
  return true;
}

}  // namespace stratovane
