// The forecast menu's entries and the forecast window's text, built from the weather answer.
#include "presentation/Forecast.h"

#include <cstdint>
#include <optional>

#include "platform/Settings.h"
#include "platform/Translation.h"
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
  const std::string reading = temp ? formatReading(*temp, defaults, numbers) : tr("Error");
  return emoji + " " + times.shortTime(answer.hourTime(hour)) + ": " +
         answer.hourDescription(hour) + " : " + reading + " " + kDegree;
}

std::string dayText(const WeatherAnswer& answer, const UserDefaults& defaults,
                    const NumberFormatting& numbers, const TimeFormatting& times) {
  // No blank between the sunrise time and the moon.
  return "\u2600\uFE0F " + times.shortTime(answer.daySunrise()) + "\U0001F31B " +
         times.shortTime(answer.daySunset()) + "\n\n" +
         fillIn(tr("Min %s Max %s"),
                {formatReading(answer.dayMin(), defaults, numbers) + kDegree,
                 formatReading(answer.dayMax(), defaults, numbers) + kDegree}) +
         "\n\n" + answer.dayDescription();
}

std::string alertTitle(const WeatherAlert& alert, const TimeFormatting& times, double now) {
  if (!alert.end) return "\u26A0\uFE0F " + alert.event;
  const std::string end = times.sameDay(*alert.end, now) ? times.shortTime(*alert.end)
                                                         : times.weekdayShortTime(*alert.end);
  // TRANSLATORS: an official weather alert and the time it ends, as in "Gale warning until 18:00".
  return "\u26A0\uFE0F " + fillIn(tr("%s until %s"), {alert.event, end});
}

std::vector<ForecastEntry> forecastEntries(const WeatherAnswer& answer,
                                           const std::vector<WeatherAlert>& alerts,
                                           const UserDefaults& defaults,
                                           const NumberFormatting& numbers,
                                           const TimeFormatting& times, double now,
                                           bool oneCall25InUse) {
  std::vector<ForecastEntry> entries;
  if (const std::optional<std::string> message = answer.message()) {
    entries.push_back({"\u26A0\uFE0F " + *message, false, {}, false});
  }
  if (oneCall25InUse && answer.refusedKey())
    entries.push_back({tr(kOneCall25Closed), false, {}, false});
  for (std::size_t i = 0; i < alerts.size(); ++i)
    entries.push_back({alertTitle(alerts[i], times, now), true, i, false});
  if (!alerts.empty()) entries.push_back({{}, false, {}, true});
  std::string emoji;  // carried down to entries without an icon
  for (std::int64_t hour = 0; hour < WeatherAnswer::kHourlyEntries; ++hour) {
    if (!answer.hasHour(hour)) break;  // the hourly array has ended (or is not there)
    if (const std::optional<std::string> icon = answer.hourIcon(hour)) emoji = emojiForIcon(*icon);
    entries.push_back({hourTitle(answer, hour, emoji, defaults, numbers, times), true, {}, false});
  }
  return entries;
}

}  // namespace

Forecast buildForecast(const JSON& feed, const UserDefaults& defaults,
                       const NumberFormatting& numbers, const TimeFormatting& times, double now,
                       bool oneCall25InUse) {
  const WeatherAnswer answer(feed);
  std::vector<WeatherAlert> alerts =
      answer.alerts(feedLanguageCode(defaults.integerForKey(SettingsKey::language)), now);
  std::vector<ForecastEntry> entries =
      forecastEntries(answer, alerts, defaults, numbers, times, now, oneCall25InUse);
  return Forecast{std::move(entries), std::move(alerts), dayText(answer, defaults, numbers, times),
                  answer.dayIcon()};
}

}  // namespace stratovane
