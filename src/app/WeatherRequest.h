// The weather request: its URL, built from the settings, and the check that it is a URL at all.
#pragma once

#include <string>
#include <string_view>

#include "platform/UserDefaults.h"

namespace stratovane {

inline constexpr const char* defaultWeatherEndpoint =
    "https://api.openweathermap.org/data/2.5/onecall";
// The version that keys issued today work with; same answer shape.
inline constexpr const char* oneCall30WeatherEndpoint =
    "https://api.openweathermap.org/data/3.0/onecall";

// endpoint + "?lat=..&lon=.." (coordinates as shortest round-trip decimals, 18 as "18.0")
// + "&units=..&lang=..&appid=" + the key exactly as given.
std::string weatherRequestURL(std::string_view endpoint, const UserDefaults& defaults,
                              std::string_view apiKey);

// False when the text holds a character a URL may not hold: a blank, a control character,
// anything outside ASCII, one of <>"{}|\^` or a '%' not followed by two hex digits.
bool isValidURL(std::string_view text);

}  // namespace stratovane
