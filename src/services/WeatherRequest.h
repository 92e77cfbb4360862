// The weather request: its URL, built from the settings, and the check that it is a URL at all.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/UserDefaults.h"

namespace stratovane {

inline constexpr const char* defaultWeatherEndpoint =
    "https://api.openweathermap.org/data/2.5/onecall";
// The version that keys issued today work with; same answer shape.
inline constexpr const char* oneCall30WeatherEndpoint =
    "https://api.openweathermap.org/data/3.0/onecall";

// The endpoint of a request: `environment` when set and not empty, else the "weatherEndpoint"
// setting when not empty, else One Call 2.5.
std::string weatherEndpointFor(const std::optional<std::string>& environment,
                               const UserDefaults& defaults);

// endpoint + "?lat=..&lon=.." (coordinates as shortest round-trip decimals, 18 as "18.0")
// + "&units=..&lang=..&appid=" + the key exactly as given.
std::string weatherRequestURL(std::string_view endpoint, const UserDefaults& defaults,
                              std::string_view apiKey);

// False when the text holds a character a URL may not hold: a blank, a control character,
// anything outside ASCII, one of <>"{}|\^` or a '%' not followed by two hex digits.
bool isValidURL(std::string_view text);

}  // namespace stratovane
