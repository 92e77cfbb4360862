// The forecast menu's entries and the forecast window's text, built from the weather answer.
#include "presentation/Forecast.h"

#include <cstdint>
#include <optional>

#include "presentation/WeatherAnswer.h"
#include "presentation/emojiForIcon.h"
#include "presentation/formatReading.h"

namespace stratovane {

namespace {

constexpr const char* kDegree = "\u00B0";

std::string hourTitle(const WeatherAnswer& answer, std::int64_t hour, const std::string& emoji,
                      const UserDefaults& defaults, const NumberFormatting& numbers,
                      const TimeFormatting& times) {
  const std::optional<float> temp = answer.hourTemp(hour);
  const std::string reading = temp ? formatReading(*temp, defaults, numbers) : "Error";
  return emoji + " " + times.shortTime(answer.hourTime(hour)) + ": " +
         answer.hourDescription(hour) + " : " + reading + " " + kDegree;
}

std::string dayText(const WeatherAnswer& answer, const UserDefaults& defaults,
                    const NumberFormatting& numbers, const TimeFormatting& times) {
  // No blank between the sunrise time and the moon.
  return "\u2600\uFE0F " + times.shortTime(answer.daySunrise()) + "\U0001F31B " +
         times.shortTime(answer.daySunset()) + "\n\n" + "Min " +
         formatReading(answer.dayMin(), defaults, numbers) + kDegree + " Max " +
         formatReading(answer.dayMax(), defaults, numbers) + kDegree + "\n\n" +
         answer.dayDescription();
}

std::vector<ForecastEntry> forecastEntries(const JSON& feed, const UserDefaults& defaults,
                                           const NumberFormatting& numbers,
                                           const TimeFormatting& times, bool oneCall25InUse) {
  const WeatherAnswer answer(feed);
  std::vector<ForecastEntry> entries;
  if (const std::optional<std::string> message = answer.message()) {
    entries.push_back({"\u26A0\uFE0F " + *message, false});
  }
  if (oneCall25InUse && answer.refusedKey()) entries.push_back({kOneCall25Closed, false});
  std::string emoji;  // carried down to entries without an icon
  for (std::int64_t hour = 0; hour < WeatherAnswer::kHourlyEntries; ++hour) {
    if (!answer.hasHour(hour)) break;  // the hourly array has ended (or is not there)
    if (const std::optional<std::string> icon = answer.hourIcon(hour)) emoji = emojiForIcon(*icon);
    entries.push_back({hourTitle(answer, hour, emoji, defaults, numbers, times), true});
  }
  return entries;
}

}  // namespace

Forecast buildForecast(const JSON& feed, const UserDefaults& defaults,
                       const NumberFormatting& numbers, const TimeFormatting& times,
                       bool oneCall25InUse) {
  const WeatherAnswer answer(feed);
  return Forecast{forecastEntries(feed, defaults, numbers, times, oneCall25InUse),
                  dayText(answer, defaults, numbers, times), answer.dayIcon()};
}

}  // namespace stratovane
