// Open-Meteo's forecast answer translated into the One Call shape that the presentation reads.
#include "services/OpenMeteoAnswer.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "services/WmoWeather.h"

namespace stratovane {

namespace {

constexpr double kHour = 3600;
constexpr double kDay = 86400;
// Time zones lie within a day of UTC; anything beyond is not an offset.
constexpr double kLargestOffset = kDay;

std::optional<double> number(const JSON& value) {
  if (value.type() != Type::number) return std::nullopt;
  const std::optional<double> read = value.asDouble();
  if (!read || !std::isfinite(*read)) return std::nullopt;
  return read;
}

std::optional<std::int64_t> weatherCode(const JSON& value) {
  const std::optional<double> read = number(value);
  // Codes are small integers; anything else is outside the table.
  if (!read || *read != std::trunc(*read) || std::fabs(*read) > 1e6) return std::nullopt;
  return static_cast<std::int64_t>(*read);
}

// Days since 1970-01-01 of a date in the proleptic Gregorian calendar.
std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const auto yearOfEra = static_cast<unsigned>(year - era * 400);
  const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

// Reads `digits` decimal digits at `at` of `text` when followed by `separator` (or the end when
// it is '\0'); none otherwise.
std::optional<unsigned> field(std::string_view text, std::size_t at, std::size_t digits,
                              char separator) {
  if (text.size() < at + digits) return std::nullopt;
  unsigned value = 0;
  const char* first = text.data() + at;
  const auto [end, error] = std::from_chars(first, first + digits, value);
  if (error != std::errc() || end != first + digits) return std::nullopt;
  if (separator == '\0' ? text.size() != at + digits
                        : text.size() <= at + digits || text[at + digits] != separator) {
    return std::nullopt;
  }
  return value;
}

// "YYYY-MM-DD", "YYYY-MM-DDTHH:MM" or "YYYY-MM-DDTHH:MM:SS", local time, as seconds since 1970.
std::optional<double> localISOTime(std::string_view text, double offset) {
  const bool date = text.size() == 10;
  const bool seconds = text.size() == 19;
  if (!date && text.size() != 16 && !seconds) return std::nullopt;
  const auto year = field(text, 0, 4, '-');
  const auto month = field(text, 5, 2, '-');
  const auto day = field(text, 8, 2, date ? '\0' : 'T');
  if (!year || !month || !day || *month < 1 || *month > 12 || *day < 1 || *day > 31) {
    return std::nullopt;
  }
  unsigned hour = 0, minute = 0, second = 0;
  if (!date) {
    const auto h = field(text, 11, 2, ':');
    const auto m = field(text, 14, 2, seconds ? ':' : '\0');
    const auto s = seconds ? field(text, 17, 2, '\0') : std::optional<unsigned>(0);
    if (!h || !m || !s || *h > 23 || *m > 59 || *s > 59) return std::nullopt;
    hour = *h, minute = *m, second = *s;
  }
  const auto days = static_cast<double>(daysFromCivil(*year, *month, *day));
  return days * kDay + hour * kHour + minute * 60.0 + second - offset;
}

// The answer's times: seconds since 1970, or local ISO times when it was asked without
// timeformat=unixtime.
class Times {
 public:
  explicit Times(const JSON& answer) {
    const JSON offset = answer["utc_offset_seconds"];
    if (offset.type() == Type::null) {
      offset_ = 0;  // the service's default time zone is GMT
    } else if (const std::optional<double> read = number(offset);
               read && std::fabs(*read) <= kLargestOffset) {
      offset_ = *read;
    }
  }

  std::optional<double> read(const JSON& value) const {
    if (value.type() == Type::string && offset_) return localISOTime(value.rawString(), *offset_);
    return number(value);
  }

 private:
  std::optional<double> offset_;  // none: local times cannot be read
};

JSON weatherArray(std::int64_t code, bool day, std::string_view language) {
  const std::optional<std::string> icon = iconForWmoCode(code, day);
  const std::optional<std::string_view> description = descriptionForWmoCode(code, language);
  Dictionary weather;
  if (icon) weather.set("icon", *icon);
  if (description) weather.set("description", *description);
  return JSON(Array{weather});
}

// Sets `key` to the weather of `code` when it is in the table.
void setWeather(Dictionary& target, const JSON& code, bool day, std::string_view language) {
  const std::optional<std::int64_t> read = weatherCode(code);
  if (!read || !iconForWmoCode(*read, day)) return;
  target.set("weather", weatherArray(*read, day, language));
}

void setNumber(Dictionary& target, std::string_view key, std::optional<double> value) {
  if (value) target.set(key, *value);
}

// Night only when the answer says so: a missing flag reads as day.
bool isDay(const JSON& flag) {
  const std::optional<double> read = number(flag);
  return !read || *read != 0;
}

std::optional<Dictionary> current(const JSON& answer, const Times& times,
                                  std::string_view language) {
  const JSON now = answer["current"];
  if (now.type() != Type::dictionary) return std::nullopt;
  Dictionary result;
  setNumber(result, "dt", times.read(now["time"]));
  setNumber(result, "temp", number(now["temperature_2m"]));
  setNumber(result, "clouds", number(now["cloud_cover"]));
  setWeather(result, now["weather_code"], isDay(now["is_day"]), language);
  return result;
}

Array hourly(const JSON& answer, const Times& times, std::optional<double> now,
             std::string_view language) {
  const JSON hours = answer["hourly"];
  const JSON time = hours["time"];
  const JSON temperature = hours["temperature_2m"];
  const JSON code = hours["weather_code"];
  const JSON rain = hours["precipitation_probability"];
  const JSON clouds = hours["cloud_cover"];
  const JSON day = hours["is_day"];
  Array result;
  const auto count = static_cast<std::int64_t>(time.type() == Type::array ? time.count() : 0);
  for (std::int64_t i = 0; i < count && result.size() < kOpenMeteoHours; ++i) {
    const std::optional<double> start = times.read(time[i]);
    // Hours over before the answer was made are not the forecast.
    if (!start || (now && *start + kHour <= *now)) continue;
    Dictionary hour;
    hour.set("dt", *start);
    setNumber(hour, "temp", number(temperature[i]));
    if (const std::optional<double> chance = number(rain[i])) hour.set("pop", *chance / 100);
    setNumber(hour, "clouds", number(clouds[i]));
    setWeather(hour, code[i], isDay(day[i]), language);
    result.push_back(std::move(hour));
  }
  return result;
}

// The position of the day that holds `now`, else the first.
std::int64_t dayHolding(const JSON& time, const Times& times, std::optional<double> now) {
  if (!now || time.type() != Type::array) return 0;
  const auto count = static_cast<std::int64_t>(time.count());
  for (std::int64_t i = 0; i < count; ++i) {
    const std::optional<double> start = times.read(time[i]);
    if (!start || *start > *now) continue;
    // Days of a clock change are an hour shorter or longer than kDay.
    const std::optional<double> next = times.read(time[i + 1]);
    if (*now < next.value_or(*start + kDay)) return i;
  }
  return 0;
}

std::optional<Dictionary> daily(const JSON& answer, const Times& times, std::optional<double> now,
                                std::string_view language) {
  const JSON days = answer["daily"];
  if (days.type() != Type::dictionary) return std::nullopt;
  const std::int64_t d = dayHolding(days["time"], times, now);
  Dictionary result;
  setNumber(result, "sunrise", times.read(days["sunrise"][d]));
  setNumber(result, "sunset", times.read(days["sunset"][d]));
  Dictionary temp;
  setNumber(temp, "min", number(days["temperature_2m_min"][d]));
  setNumber(temp, "max", number(days["temperature_2m_max"][d]));
  result.set("temp", std::move(temp));
  setWeather(result, days["weather_code"][d], true, language);
  return result;
}

}  // namespace

JSON oneCallFromOpenMeteo(const JSON& answer, std::string_view language) {
  Dictionary result;
  if (answer.type() != Type::dictionary) return JSON(result);
  if (const JSON error = answer["error"]; error.type() == Type::bool_ && error.rawBool()) {
    if (std::optional<std::string> reason = answer["reason"].asString())
      result.set("message", std::move(*reason));
    return JSON(result);
  }
  const Times times(answer);
  std::optional<double> now;
  if (std::optional<Dictionary> currentWeather = current(answer, times, language)) {
    if (const std::optional<Object> dt = currentWeather->find("dt")) now = JSON(*dt).asDouble();
    result.set("current", std::move(*currentWeather));
  }
  if (answer["hourly"].type() == Type::dictionary)
    result.set("hourly", hourly(answer, times, now, language));
  if (std::optional<Dictionary> day = daily(answer, times, now, language))
    result.set("daily", Array{std::move(*day)});
  return JSON(result);
}

}  // namespace stratovane
