// The one table that turns a weather icon code into the emoji drawn in its place.
#include "presentation/emojiForIcon.h"

#include <array>
#include <utility>

namespace stratovane {

namespace {

// Spelled as escapes because some emoji carry the variation selector U+FE0F and others must not.
constexpr std::string_view kSun = "\u2600\uFE0F";
constexpr std::string_view kFullMoon = "\U0001F315";
constexpr std::string_view kRain = "\U0001F327";
constexpr std::string_view kSnowflake = "\u2744\uFE0F";
constexpr std::string_view kSnowCloud = "\U0001F328";
constexpr std::string_view kWindFace = "\U0001F32C";
constexpr std::string_view kFog = "\U0001F32B";
constexpr std::string_view kCloud = "\u2601\uFE0F";
constexpr std::string_view kSunBehindCloud = "\U0001F324";
constexpr std::string_view kUmbrella = "\u2602\uFE0F";

// Kept in the order of the rows of the table; no input appears twice.
constexpr std::array<std::pair<std::string_view, std::string_view>, 26> kIcons{{
    {"clear-day", kSun},
    {"01d", kSun},
    {"clear-night", kFullMoon},
    {"01n", kFullMoon},
    {"rain", kRain},
    {"09d", kRain},
    {"09n", kRain},
    {"10d", kRain},
    {"10n", kRain},
    {"snow", kSnowflake},
    {"13d", kSnowflake},
    {"13n", kSnowflake},
    {"sleet", kSnowCloud},
    {"wind", kWindFace},
    {"fog", kFog},
    {"50d", kFog},
    {"50n", kFog},
    {"cloudy", kCloud},
    {"03d", kCloud},
    {"03n", kCloud},
    {"04d", kCloud},
    {"04n", kCloud},
    {"partly-cloudy-day", kSunBehindCloud},
    {"02d", kSunBehindCloud},
    // The partly clouded night shows the plain cloud, not a moon.
    {"partly-cloudy-night", kCloud},
    {"02n", kCloud},
}};

}  // namespace

std::string emojiForIcon(std::string_view icon) {
  for (const auto& [input, emoji] : kIcons) {
    if (input == icon) return std::string(emoji);
  }
  return std::string(kUmbrella);
}

}  // namespace stratovane
