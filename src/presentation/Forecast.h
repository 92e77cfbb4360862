// The forecast menu's entries and the forecast window's text, built from the weather answer.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "json/JSON.h"
#include "platform/Formatting.h"
#include "platform/Translation.h"
#include "platform/UserDefaults.h"
#include "presentation/WeatherAlert.h"

namespace stratovane {

struct ForecastEntry {
  std::string title;
  bool enabled = true;  // enabled entries open the forecast window, or their alert's window
  std::optional<std::size_t> alert;  // the position in Forecast::alerts of the one it opens
  bool separator = false;
};

struct Forecast {
  // At most one disabled warning, the alerts and a separator after them, then up to twelve hourly
  // entries.
  std::vector<ForecastEntry> entries;
  std::vector<WeatherAlert> alerts;  // those in force or to come at `now`
  std::string dailyForcast;          // the forecast window's text
  std::string dailyForcastIcon;      // the first day's raw icon code, made an emoji when shown
};

// Entries: a disabled "⚠️ " + message when the answer has a top-level text `message`; when the
// answer refuses the key (`cod` 401) and `oneCall25InUse`, a disabled kOneCall25Closed; then
// "⚠️ " + event + " until " + end for each alert (the end's weekday too when it is not on the
// day of `now`; no " until " without an end) and a separator when there are any; then one entry per
// hourly entry among the first twelve that the answer has, titled
// "<emoji> <time>: <description> : <temperature> °", where an entry without an icon carries the
// emoji of the one above it and a temperature that is not a number or a Boolean shows "Error".
// The text: sunrise and sunset, the day's lowest and highest temperature and its description.
Forecast buildForecast(const JSON& feed, const UserDefaults& defaults,
                       const NumberFormatting& numbers, const TimeFormatting& times, double now,
                       bool oneCall25InUse = false);

// Keys issued today are refused by One Call 2.5; the settings offer the version they work with.
inline constexpr const char* kOneCall25Closed =
    trLater("One Call 2.5 is closed to new keys: choose One Call 3.0 in Settings");

}  // namespace stratovane
