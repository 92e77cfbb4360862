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

// Open-Meteo: no key, no account. Any endpoint whose path ends in /v1/forecast is read as
// Open-Meteo, so a self-hosted instance works through a custom address.
inline constexpr const char* openMeteoWeatherEndpoint = "https://api.open-meteo.com/v1/forecast";

// Everything a request is built from, read from the settings at one moment, so that a request
// never mixes values from before and after a change.
struct WeatherQuery {
  std::string endpoint;
  double latitude = 0;
  double longitude = 0;
  bool metric = true;
  std::string_view language;  // a `lang` code of the language table
  std::string apiKey;         // exactly as stored; empty when there is none

  bool openMeteo() const;
};

// The endpoint is `environment` when set and not empty, else the "weatherEndpoint" setting when
// not empty, else One Call 2.5.
WeatherQuery weatherQueryFor(const std::optional<std::string>& environment,
                             const UserDefaults& defaults);

// Whether the endpoint's path (before any query) ends in /v1/forecast.
bool isOpenMeteoEndpoint(std::string_view endpoint);

// One Call: endpoint + "?lat=..&lon=.." (coordinates as shortest round-trip decimals, 18 as
// "18.0") + "&units=..&lang=..&appid=" + the key exactly as given.
// Open-Meteo: endpoint + "?latitude=..&longitude=.." + the variables the presentation reads,
// times as seconds since 1970 in the place's time zone, two days, and
// "&temperature_unit=fahrenheit" unless metric. It never carries the key: that is not Open-Meteo's.
std::string weatherRequestURL(const WeatherQuery& query);

// False when the text holds a character a URL may not hold: a blank, a control character,
// anything outside ASCII, one of <>"{}|\^` or a '%' not followed by two hex digits.
bool isValidURL(std::string_view text);

}  // namespace stratovane
