// Readings in the user's numeric locale, the plain form of the percentages, and short times in
// the user's time locale and the system's current time zone.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <span>
#include <thread>
#include <vector>

#include "platform/system/FileUserDefaults.h"
#include "platform/system/IcuTimeFormatting.h"
#include "platform/system/LocaleNumberFormatting.h"
#include "presentation/PresentationTestSupport.h"
#include "presentation/formatReading.h"

namespace stratovane {
namespace {

using testing::ScopedEnv;

const LocaleNumberFormatting en("en_US.UTF-8");
const LocaleNumberFormatting de("de_DE.UTF-8");
const LocaleNumberFormatting sv("sv_SE.UTF-8");

struct Reading {
  float reading;
  std::int64_t decimals;
  const LocaleNumberFormatting& numbers;
  const char* expected;
};

void expectReadings(std::span<const Reading> cases) {
  FileUserDefaults defaults("");
  for (const Reading& c : cases) {
    defaults.setInteger(c.decimals, "decimals");
    EXPECT_EQ(formatReading(c.reading, defaults, c.numbers), c.expected)
        << c.reading << " with " << c.decimals;
  }
}

// Digits only for zero to two decimals; the locale's separator and no grouping.
TEST(FormatReading, DecimalsAndSeparator) {
  const std::int64_t min = std::numeric_limits<std::int64_t>::min();
  const std::int64_t wraps = (std::int64_t{1} << 32) + 1;
  const Reading cases[] = {
      {21.456f, 2, en, "21.46"},  {21.456f, 1, en, "21.5"},        {21.456f, 0, en, "21"},
      {21.456f, 3, en, "21"},     {21.456f, -1, en, "21"},         {21.456f, min, en, "21"},
      {21.456f, wraps, en, "21"}, {0.0f, 2, de, "0,00"},           {1234.5f, 1, en, "1234.5"},
      {1234.5f, 1, sv, "1234,5"}, {-1234567.0f, 0, de, "-1234567"}};
  expectReadings(cases);
  EXPECT_EQ(de.fixed(1e20, 0), "100000000000000000000");
}

// The reading is narrowed to 32 bits (12.35f is above 12.35) and its exact value ties to even.
TEST(FormatReading, ExactFloatValueTiesToEvenAndNegativeZeroKeepsItsSign) {
  const Reading cases[] = {{0.5f, 0, en, "0"},      {1.5f, 0, en, "2"},       {2.5f, 0, en, "2"},
                           {0.125f, 2, en, "0.12"}, {0.375f, 2, en, "0.38"},  {-2.5f, 0, de, "-2"},
                           {12.35f, 1, en, "12.4"}, {0.1f, 2, sv, "0,10"},    {-0.4f, 0, en, "-0"},
                           {-0.0f, 1, de, "-0,0"},  {-0.004f, 2, sv, "-0,00"}};
  expectReadings(cases);
  EXPECT_EQ(en.fixed(12.35, 1), "12.3");
}

TEST(FormatReading, ReadsDecimalsOnEveryCall) {
  FileUserDefaults defaults("");
  defaults.setString("2", "decimals");
  EXPECT_EQ(formatReading(3.0f, defaults, en), "3.00");
  defaults.setString("two", "decimals");
  EXPECT_EQ(formatReading(3.0f, defaults, en), "3");
  defaults.removeObject("decimals");
  EXPECT_EQ(formatReading(3.0f, defaults, en), "3");
}

TEST(LocaleNumberFormatting, NumericLocaleFromTheEnvironment) {
  ScopedEnv all("LC_ALL", nullptr);
  ScopedEnv numeric("LC_NUMERIC", nullptr);
  ScopedEnv lang("LANG", nullptr);
  EXPECT_EQ(LocaleNumberFormatting::userLocaleName(), "C");
  for (const char* name : {"C", "POSIX", "C.UTF-8", "xx_YY.UTF-8", ""}) {
    EXPECT_EQ(LocaleNumberFormatting(name).fixed(1234.5, 1), "1234.5") << name;
  }
  setenv("LANG", "de_DE.UTF-8", 1);
  EXPECT_EQ(LocaleNumberFormatting().fixed(1.5, 1), "1,5");
  setenv("LC_NUMERIC", "en_US.UTF-8", 1);
  EXPECT_EQ(LocaleNumberFormatting().fixed(1.5, 1), "1.5");
  setenv("LC_ALL", "", 1);  // empty: skipped
  EXPECT_EQ(LocaleNumberFormatting::userLocaleName(), "en_US.UTF-8");
  setenv("LC_ALL", "sv_SE.UTF-8", 1);
  EXPECT_EQ(LocaleNumberFormatting().fixed(1.5, 1), "1,5");
}

TEST(LocaleNumberFormatting, LeavesTheProcessLocaleAloneAndIsSafeFromManyThreads) {
  const std::string before = setlocale(LC_NUMERIC, nullptr);
  const LocaleNumberFormatting german("de_DE.UTF-8");
  const LocaleNumberFormatting english("en_US.UTF-8");
  EXPECT_EQ(german.fixed(0.25, 2), "0,25");
  EXPECT_EQ(setlocale(LC_NUMERIC, nullptr), before);
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%.1f", 0.5);
  EXPECT_STREQ(buffer, "0.5");

  std::vector<std::thread> threads;
  std::vector<int> wrong(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      const LocaleNumberFormatting& numbers = t % 2 ? german : english;
      const std::string expected = t % 2 ? "2,5" : "2.5";
      for (int i = 0; i < 2000; ++i) wrong[t] += numbers.fixed(2.5, 1) != expected;
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

TEST(PlainDouble, ShortestRoundTripInFixedNotationWithAPointInEveryLocale) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::pair<double, const char*> cases[] = {
      {100.0 * 0.3, "30.0"}, {100.0 * 0.07, "7.000000000000001"},
      {75, "75.0"},          {0, "0.0"},
      {-0.0, "-0.0"},        {1.5e-7, "0.00000015"},
      {nan, "nan"},          {inf, "inf"},
      {-inf, "-inf"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(plainDouble(value), text);
  EXPECT_EQ(plainDouble(1e21), "1000000000000000000000.0");
  // Never an exponent, even at the ends of the range.
  EXPECT_EQ(std::strtod(plainDouble(5e-324).c_str(), nullptr), 5e-324);
  EXPECT_EQ(plainDouble(1e300).find('e'), std::string::npos);

  const std::string before = setlocale(LC_NUMERIC, nullptr);
  ASSERT_NE(setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr);
  const std::string inGerman = plainDouble(2.5);
  setlocale(LC_NUMERIC, before.c_str());
  EXPECT_EQ(inGerman, "2.5");
}

constexpr double k1400Utc = 1700056800;  // 2023-11-15 14:00:00 UTC

TEST(IcuTimeFormatting, LocaleNamesBecomeIcuIds) {
  EXPECT_EQ(IcuTimeFormatting::icuLocaleId("de_DE.ISO-8859-15@euro"), "de_DE");
  EXPECT_EQ(IcuTimeFormatting::icuLocaleId("sr_RS.UTF-8@latin"), "sr_Latn_RS");
  EXPECT_EQ(IcuTimeFormatting::icuLocaleId("ca_ES.UTF-8@valencia"), "ca_ES_VALENCIA");
  for (const char* name : {"C", "POSIX", "C.UTF-8", "", ".UTF-8"}) {
    EXPECT_EQ(IcuTimeFormatting::icuLocaleId(name), std::nullopt) << name;
  }
}

// The order of the variables is LocaleNumberFormatting's too, and tested with it.
TEST(IcuTimeFormatting, TimeLocaleFromTheEnvironment) {
  ScopedEnv tz("TZ", "UTC");
  ScopedEnv all("LC_ALL", nullptr);
  ScopedEnv lang("LANG", "en_US.UTF-8");
  ScopedEnv numeric("LC_NUMERIC", "sv_SE.UTF-8");
  ScopedEnv time("LC_TIME", nullptr);
  // ICU 72 puts a narrow no-break space (U+202F) before the day period.
  EXPECT_EQ(IcuTimeFormatting().shortTime(k1400Utc), "2:00\u202FPM");
  setenv("LC_TIME", "de_DE.UTF-8", 1);
  EXPECT_EQ(IcuTimeFormatting().shortTime(k1400Utc), "14:00");
}

TEST(IcuTimeFormatting, FollowsTheSystemTimeZoneAtEachCall) {
  const IcuTimeFormatting times("de_DE.UTF-8");
  ScopedEnv berlin("TZ", "Europe/Berlin");
  EXPECT_EQ(times.shortTime(0), "01:00");
  EXPECT_EQ(times.shortTime(1688212800), "14:00");  // 12:00 UTC, summer time
  ScopedEnv newYork("TZ", "America/New_York");
  EXPECT_EQ(times.shortTime(k1400Utc), "09:00");
  ScopedEnv kolkata("TZ", "Asia/Kolkata");
  EXPECT_EQ(times.shortTime(k1400Utc), "19:30");
}

TEST(IcuTimeFormatting, WeekdayTimesAndDaysInTheSystemTimeZone) {
  ScopedEnv tz("TZ", "UTC");
  EXPECT_EQ(IcuTimeFormatting("en_US.UTF-8").weekdayShortTime(k1400Utc), "Wed 2:00\u202FPM");
  EXPECT_EQ(IcuTimeFormatting("de_DE.UTF-8").weekdayShortTime(k1400Utc), "Mi., 14:00");
  const IcuTimeFormatting times("C");
  EXPECT_EQ(times.weekdayShortTime(k1400Utc), "Wed 14:00");
  const double lateEvening = k1400Utc + 9.5 * 3600;  // 23:30 UTC
  EXPECT_TRUE(times.sameDay(k1400Utc, lateEvening));
  EXPECT_FALSE(times.sameDay(k1400Utc, k1400Utc + 86400));
  EXPECT_FALSE(times.sameDay(std::numeric_limits<double>::quiet_NaN(), k1400Utc));
  ScopedEnv berlin("TZ", "Europe/Berlin");  // where 23:30 UTC is tomorrow
  EXPECT_EQ(times.weekdayShortTime(lateEvening), "Thu 00:30");
  EXPECT_FALSE(times.sameDay(k1400Utc, lateEvening));
}

TEST(IcuTimeFormatting, OddInstantsDoNotFail) {
  ScopedEnv tz("TZ", "UTC");
  const IcuTimeFormatting times("C");
  EXPECT_EQ(times.shortTime(-1), "23:59");
  EXPECT_EQ(times.shortTime(k1400Utc + 0.999), "14:00");
  EXPECT_EQ(times.shortTime(std::numeric_limits<double>::quiet_NaN()), "00:00");
  EXPECT_EQ(times.shortTime(1e300), "00:00");
  // Far, but within ICU's calendar: a billion days.
  EXPECT_EQ(times.shortTime(8.64e13 + 3600), "01:00");
  EXPECT_EQ(times.shortTime(-8.64e13 - 60), "23:59");
}

}  // namespace
}  // namespace stratovane
