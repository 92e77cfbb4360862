// The one place that knows which members of the weather answer are read, and their fallbacks.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "json/JSON.h"
#include "json/JSONView.h"
#include "presentation/WeatherAlert.h"

namespace stratovane {

// Reads a stored One Call answer of any shape: a missing or ill-typed member at any depth gives
// the accessor's fallback, never an error. Holds a reference: the answer must outlive it.
class WeatherAnswer {
 public:
  // Only the first twelve hourly entries are ever shown.
  static constexpr std::int64_t kHourlyEntries = 12;

  explicit WeatherAnswer(const JSON& answer) : answer_(answer) {}

  // current.*, read for the status-bar title; none when absent or not of the kind.
  std::optional<float> currentTemp() const;
  std::optional<double> currentClouds() const;  // a percentage
  std::optional<std::string> currentDescription() const;
  std::optional<std::string> currentIcon() const;
  // currently.precipProbability, a fraction of 1.
  std::optional<double> currentlyPrecipProbability() const;
  // hourly[0].pop, a fraction of 1: the chance of rain when `currently` is absent, as the answers
  // of One Call 2.5 never carry `currently`.
  std::optional<double> firstHourPop() const;

  // Whether hourly[hour] is in the answer at all.
  bool hasHour(std::int64_t hour) const;
  double hourTime(std::int64_t hour) const;  // seconds since 1970; 0 when absent
  std::optional<float> hourTemp(std::int64_t hour) const;
  std::string hourDescription(std::int64_t hour) const;  // empty when absent
  std::optional<std::string> hourIcon(std::int64_t hour) const;

  // daily[0].*: absent times read as 0 (the epoch), absent temperatures as 0, absent texts as "".
  double daySunrise() const;
  double daySunset() const;
  float dayMin() const;
  float dayMax() const;
  std::string dayDescription() const;
  std::string dayIcon() const;

  // The top-level text `message` of an error report, such as an invalid API key.
  std::optional<std::string> message() const;
  // Whether the top-level `cod` is 401 (a number or a text): the service refused the key.
  bool refusedKey() const;

  // The top-level `alerts` in the answer's order, leaving out entries without an `event` text and
  // those whose `end` is not after `now`. Entries with the same event, sender and end are one, in
  // the place of the first, with their descriptions in order. A `description` may also be an
  // array of objects with `language` and `description`: the one in `language` (the request's
  // `lang`) is taken, else the first.
  std::vector<WeatherAlert> alerts(std::string_view language, double now) const;

 private:
  // Steps without building a value at each one; the answer outlives this reader anyway.
  JSONView answer_;
};

}  // namespace stratovane
