// The one table that turns a weather icon code into the emoji drawn in its place.
#pragma once

#include <string>
#include <string_view>

namespace stratovane {

// Exact, case-sensitive match of OpenWeatherMap codes ("01d") and Dark Sky names ("clear-day");
// anything else, the empty text included, gives the umbrella. Never empty.
std::string emojiForIcon(std::string_view icon);

}  // namespace stratovane
