// Short times in the user's time locale and the system's current time zone.
#include "platform/system/IcuTimeFormatting.h"

#include <gtest/gtest.h>

#include <limits>

#include "presentation/PresentationTestSupport.h"

namespace stratovane {
namespace {

using testing::ScopedEnv;

constexpr double k1400Utc = 1700056800;  // 2023-11-15 14:00:00 UTC

TEST(IcuTimeFormatting, ShortStyleOfTheLocale) {
  ScopedEnv tz("TZ", "UTC");
  // ICU 72 puts a narrow no-break space (U+202F) before the day period.
  EXPECT_EQ(IcuTimeFormatting("en_US.UTF-8").shortTime(k1400Utc), "2:00\u202FPM");
  EXPECT_EQ(IcuTimeFormatting("de_DE@euro").shortTime(k1400Utc + 59), "14:00");
  for (const char* name : {"C", "POSIX", "C.UTF-8"}) {
    EXPECT_EQ(IcuTimeFormatting(name).shortTime(k1400Utc), "14:00") << name;
    EXPECT_EQ(IcuTimeFormatting(name).shortTime(k1400Utc - 14 * 3600 + 5 * 60), "00:05") << name;
  }
}

TEST(IcuTimeFormatting, LocaleNamesBecomeIcuIds) {
  EXPECT_EQ(IcuTimeFormatting::icuLocaleId("de_DE.UTF-8"), "de_DE");
  EXPECT_EQ(IcuTimeFormatting::icuLocaleId("en_US"), "en_US");
  EXPECT_EQ(IcuTimeFormatting::icuLocaleId("fr"), "fr");
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
  EXPECT_EQ(IcuTimeFormatting().shortTime(k1400Utc), "2:00\u202FPM");
  setenv("LC_TIME", "de_DE.UTF-8", 1);
  EXPECT_EQ(IcuTimeFormatting().shortTime(k1400Utc), "14:00");
}

TEST(IcuTimeFormatting, FollowsTheSystemTimeZoneAtEachCall) {
  const IcuTimeFormatting times("de_DE.UTF-8");
  {
    ScopedEnv tz("TZ", "Europe/Berlin");
    EXPECT_EQ(times.shortTime(0), "01:00");
    EXPECT_EQ(times.shortTime(1688212800), "14:00");  // 12:00 UTC, summer time
  }
  {
    ScopedEnv tz("TZ", "America/New_York");
    EXPECT_EQ(times.shortTime(k1400Utc), "09:00");
  }
  {
    ScopedEnv tz("TZ", "Asia/Kolkata");
    EXPECT_EQ(times.shortTime(k1400Utc), "19:30");
  }
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
