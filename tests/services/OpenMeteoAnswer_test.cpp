// Open-Meteo answers, as the service sends them and broken, read into the One Call shape.
#include "services/OpenMeteoAnswer.h"

#include <gtest/gtest.h>

#include <string>

#include "services/WmoWeather.h"

namespace stratovane {
namespace {

// 2026-12-07 00:00 in Berlin (UTC+1), as seconds since 1970.
constexpr double kMidnight = 1796598000;
constexpr double kHour = 3600;

// A unixtime answer as the service sends it, its hours cut to four around 14:15 local time.
const char* const kBerlin = R"({
  "latitude": 52.52, "longitude": 13.419998, "generationtime_ms": 0.09,
  "utc_offset_seconds": 3600, "timezone": "Europe/Berlin", "timezone_abbreviation": "GMT+1",
  "elevation": 38.0,
  "current_units": {"time": "unixtime", "interval": "seconds", "temperature_2m": "°C"},
  "current": {"time": 1796649300, "interval": 900, "temperature_2m": -1.4, "weather_code": 71,
              "cloud_cover": 100, "is_day": 1},
  "hourly_units": {"time": "unixtime", "temperature_2m": "°C"},
  "hourly": {"time": [1796644800, 1796648400, 1796652000, 1796655600],
             "temperature_2m": [-0.9, -1.2, -1.6, -2.3],
             "weather_code": [3, 71, 73, 0],
             "precipitation_probability": [10, 35, 60, 0],
             "cloud_cover": [98, 100, 100, 12],
             "is_day": [1, 1, 0, 0]},
  "daily_units": {"time": "unixtime"},
  "daily": {"time": [1796598000, 1796684400], "weather_code": [73, 2],
            "temperature_2m_max": [0.4, 2.1], "temperature_2m_min": [-3.8, -5.0],
            "sunrise": [1796629080, 1796715540], "sunset": [1796657460, 1796743800]}
})";

JSON adapt(const std::string& text, std::string_view language = "en") {
  return oneCallFromOpenMeteo(JSON::parseJSON(text), language);
}

std::string description(std::int64_t code, std::string_view language = "en") {
  return std::string(descriptionForWmoCode(code, language).value_or("<none>"));
}

TEST(OpenMeteoAnswer, AnAnswerAsSentReadsLikeOneCall) {
  const JSON oneCall = adapt(kBerlin);
  const JSON current = oneCall["current"];
  EXPECT_EQ(current["dt"].doubleValue(), 1796649300);
  EXPECT_EQ(current["temp"].asDouble(), -1.4);
  EXPECT_EQ(current["clouds"].asDouble(), 100);
  EXPECT_EQ(current["weather"][0]["icon"].asString(), "13d");
  EXPECT_EQ(current["weather"][0]["description"].asString(), description(71));

  // From the hour that holds the current time (14:15 lies in 14:00), the chance as a fraction.
  const JSON hourly = oneCall["hourly"];
  ASSERT_EQ(hourly.count(), 3u);
  EXPECT_EQ(hourly[0]["dt"].doubleValue(), kMidnight + 14 * kHour);
  EXPECT_EQ(hourly[0]["temp"].asDouble(), -1.2);
  EXPECT_EQ(hourly[0]["pop"].asDouble(), 0.35);
  EXPECT_EQ(hourly[0]["clouds"].asDouble(), 100);
  EXPECT_EQ(hourly[1]["weather"][0]["icon"].asString(), "13n");
  EXPECT_EQ(hourly[2]["weather"][0]["icon"].asString(), "01n");
  EXPECT_EQ(hourly[2]["pop"].asDouble(), 0.0);

  const JSON day = oneCall["daily"][0];
  EXPECT_EQ(oneCall["daily"].count(), 1u);
  EXPECT_EQ(day["sunrise"].doubleValue(), 1796629080);
  EXPECT_EQ(day["sunset"].doubleValue(), 1796657460);
  EXPECT_EQ(day["temp"]["min"].asDouble(), -3.8);
  EXPECT_EQ(day["temp"]["max"].asDouble(), 0.4);
  EXPECT_EQ(day["weather"][0]["icon"].asString(), "13d");

  // Descriptions come in the language asked for.
  EXPECT_EQ(adapt(kBerlin, "de")["current"]["weather"][0]["description"].asString(),
            description(71, "de"));
}

TEST(OpenMeteoAnswer, LocalISOTimesAreReadWithTheAnswersOffset) {
  const char* const iso = R"({"utc_offset_seconds": 3600,
    "current": {"time": "2026-12-08T09:30", "temperature_2m": 1},
    "hourly": {"time": ["2026-12-08T08:00", "2026-12-08T09:00", "2026-12-08T10:00"]},
    "daily": {"time": ["2026-12-07", "2026-12-08"], "sunrise": ["2026-12-07T08:07",
              "2026-12-08T08:09:30"], "weather_code": [3, 61]}})";
  const JSON oneCall = adapt(iso);
  const double nextMidnight = kMidnight + 24 * kHour;
  EXPECT_EQ(oneCall["current"]["dt"].doubleValue(), nextMidnight + 9.5 * kHour);
  ASSERT_EQ(oneCall["hourly"].count(), 2u);
  EXPECT_EQ(oneCall["hourly"][0]["dt"].doubleValue(), nextMidnight + 9 * kHour);
  // The second day holds the current time.
  EXPECT_EQ(oneCall["daily"][0]["sunrise"].doubleValue(), nextMidnight + 8 * kHour + 9 * 60 + 30);
  EXPECT_EQ(oneCall["daily"][0]["weather"][0]["icon"].asString(), "10d");

  // Without an offset the times are GMT, the service's default; with one off the clock, or of
  // the wrong kind, local times cannot be read and their hours are left out.
  EXPECT_EQ(adapt(R"({"current": {"time": "2026-12-08T00:00"}})")["current"]["dt"].doubleValue(),
            nextMidnight + kHour);
  for (const char* offset : {"1e300", "-90000", "\"3600\"", "true"}) {
    const JSON broken = adapt(std::string(R"({"utc_offset_seconds": )") + offset +
                              R"(, "current": {"time": "2026-12-08T00:00"},
                                 "hourly": {"time": ["2026-12-08T00:00", 1796684400]}})");
    EXPECT_FALSE(broken["current"]["dt"].exists()) << offset;
    ASSERT_EQ(broken["hourly"].count(), 1u) << offset;
    EXPECT_EQ(broken["hourly"][0]["dt"].doubleValue(), 1796684400) << offset;
  }
  // Text that is not a local time of the answer's form.
  for (const char* time : {"2026-12-08T24:00", "2026-13-01", "2026-12-8T09:00", "09:00",
                           "2026-12-08T09:00Z", "2026-12-08 09:00", "-026-12-08", ""}) {
    EXPECT_FALSE(
        adapt(std::string(R"({"current": {"time": ")") + time + R"("}})")["current"]["dt"].exists())
        << time;
  }
}

TEST(OpenMeteoAnswer, NullsWrongKindsAndShortArraysAreMissingNeverZero) {
  const JSON oneCall = adapt(R"({
    "current": {"time": null, "temperature_2m": null, "cloud_cover": "75", "weather_code": 999},
    "hourly": {"time": [1796644800, null, "soon", 1796655600, 1796659200],
               "temperature_2m": [1.5, 2, 3, null],
               "weather_code": [2.5, 0, 0, -1],
               "precipitation_probability": [false],
               "is_day": "yes"},
    "daily": {"time": [], "temperature_2m_max": [null], "sunrise": [true]}})");
  const JSON current = oneCall["current"];
  EXPECT_EQ(current.type(), Type::dictionary);
  for (const char* member : {"dt", "temp", "clouds", "weather"})
    EXPECT_FALSE(current[member].exists()) << member;

  // Without a current time every hour counts; hours without a time are left out whole.
  const JSON hourly = oneCall["hourly"];
  ASSERT_EQ(hourly.count(), 3u);
  EXPECT_EQ(hourly[0]["temp"].asDouble(), 1.5);
  EXPECT_EQ(hourly[1]["dt"].doubleValue(), 1796655600);
  for (const char* member : {"temp", "pop", "clouds", "weather"}) {
    EXPECT_FALSE(hourly[1][member].exists()) << member;
    EXPECT_FALSE(hourly[2][member].exists()) << member;
  }
  EXPECT_FALSE(hourly[0]["weather"].exists());  // 2.5 is no code

  const JSON day = oneCall["daily"][0];
  for (const char* member : {"sunrise", "sunset", "weather"}) EXPECT_FALSE(day[member].exists());
  EXPECT_FALSE(day["temp"]["max"].exists());
}

TEST(OpenMeteoAnswer, ErrorsAndOtherShapesGiveNoWeather) {
  EXPECT_EQ(adapt(R"({"error": true, "reason": "Latitude must be in range of -90 to 90°."})"),
            JSON(Dictionary{{"message", "Latitude must be in range of -90 to 90°."}}));
  const JSON empty{Dictionary{}};
  for (const char* text : {R"({"error": true, "reason": 7})", R"({"error": true})", "[1, 2]",
                           "\"text\"", "null", R"({"current": [], "hourly": 5, "daily": "x"})"}) {
    EXPECT_EQ(adapt(text), empty) << text;
  }
  // An "error" that is not true is no error report.
  EXPECT_TRUE(
      adapt(R"({"error": "false", "current": {"temperature_2m": 3}})")["current"]["temp"].exists());
}

TEST(OpenMeteoAnswer, ALongAnswerKeepsTheHoursTheMenuCanUse) {
  std::string times, codes;
  for (int i = 0; i < 10000; ++i) {
    times += (i ? "," : "") + std::to_string(1796598000 + i * 3600);
    codes += (i ? "," : "") + std::to_string(i % 100);
  }
  const JSON oneCall = adapt(R"({"current": {"time": 1796649300}, "hourly": {"time": [)" + times +
                             R"(], "weather_code": [)" + codes + "]}}");
  ASSERT_EQ(oneCall["hourly"].count(), kOpenMeteoHours);
  EXPECT_EQ(oneCall["hourly"][0]["dt"].doubleValue(), kMidnight + 14 * kHour);
}

}  // namespace
}  // namespace stratovane
