// Readings in the user's numeric locale and the plain form of the percentages.
#include "presentation/formatReading.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <thread>
#include <vector>

#include "platform/system/LocaleNumberFormatting.h"
#include "presentation/PresentationTestSupport.h"

namespace stratovane {
namespace {

using testing::ScopedEnv;
using testing::StubDefaults;

class FormatReading : public ::testing::Test {
 protected:
  std::string fmt(float reading, std::int64_t decimals, const NumberFormatting& numbers) {
    defaults.setInteger(decimals, "decimals");
    return formatReading(reading, defaults, numbers);
  }

  StubDefaults defaults;
  const LocaleNumberFormatting english{"en_US.UTF-8"};
  const LocaleNumberFormatting german{"de_DE.UTF-8"};
  const LocaleNumberFormatting swedish{"sv_SE.UTF-8"};
};

TEST_F(FormatReading, DecimalsChooseTheDigits) {
  EXPECT_EQ(fmt(21.456f, 2, english), "21.46");
  EXPECT_EQ(fmt(21.456f, 1, english), "21.5");
  EXPECT_EQ(fmt(21.456f, 0, english), "21");
  for (std::int64_t outside : std::initializer_list<std::int64_t>{
           3, 7, -1, std::numeric_limits<std::int64_t>::min(), std::int64_t{1} << 32}) {
    EXPECT_EQ(fmt(21.456f, outside, english), "21") << outside;
  }
  EXPECT_EQ(fmt(0.0f, 2, german), "0,00");
}

TEST_F(FormatReading, ReadsDecimalsOnEveryCall) {
  EXPECT_EQ(fmt(3.0f, 1, english), "3.0");
  defaults.setString("2", "decimals");
  EXPECT_EQ(formatReading(3.0f, defaults, english), "3.00");
  defaults.setString("two", "decimals");
  EXPECT_EQ(formatReading(3.0f, defaults, english), "3");
  defaults.removeObject("decimals");
  EXPECT_EQ(formatReading(3.0f, defaults, english), "3");
}

TEST_F(FormatReading, LocaleSeparatorWithoutGrouping) {
  EXPECT_EQ(fmt(1234.5f, 1, english), "1234.5");
  EXPECT_EQ(fmt(1234.5f, 1, german), "1234,5");
  EXPECT_EQ(fmt(1234.5f, 1, swedish), "1234,5");
  EXPECT_EQ(fmt(-1234567.0f, 0, german), "-1234567");
  EXPECT_EQ(german.fixed(1e20, 0), "100000000000000000000");
}

TEST_F(FormatReading, ExactBinaryValueTiesToEven) {
  EXPECT_EQ(fmt(0.5f, 0, english), "0");
  EXPECT_EQ(fmt(1.5f, 0, english), "2");
  EXPECT_EQ(fmt(2.5f, 0, english), "2");
  EXPECT_EQ(fmt(3.25f, 1, german), "3,2");
  EXPECT_EQ(fmt(0.125f, 2, english), "0.12");
  EXPECT_EQ(fmt(0.375f, 2, english), "0.38");
  EXPECT_EQ(fmt(-2.5f, 0, german), "-2");
}

TEST_F(FormatReading, ReadingIsNarrowedTo32Bits) {
  EXPECT_EQ(fmt(12.35f, 1, english), "12.4");
  EXPECT_EQ(english.fixed(12.35, 1), "12.3");
  EXPECT_EQ(fmt(0.1f, 2, swedish), "0,10");
}

TEST_F(FormatReading, NegativeZeroKeepsItsSign) {
  EXPECT_EQ(fmt(-0.4f, 0, english), "-0");
  EXPECT_EQ(fmt(-0.0f, 1, german), "-0,0");
  EXPECT_EQ(fmt(-0.004f, 2, swedish), "-0,00");
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

TEST(LocaleNumberFormatting, LeavesTheProcessAndThreadLocaleAlone) {
  const std::string before = setlocale(LC_NUMERIC, nullptr);
  const LocaleNumberFormatting german("de_DE.UTF-8");
  EXPECT_EQ(german.fixed(0.25, 2), "0,25");
  EXPECT_EQ(setlocale(LC_NUMERIC, nullptr), before);
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%.1f", 0.5);
  EXPECT_STREQ(buffer, "0.5");
}

TEST(LocaleNumberFormatting, SafeFromManyThreads) {
  const LocaleNumberFormatting german("de_DE.UTF-8");
  const LocaleNumberFormatting english("en_US.UTF-8");
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
  for (int count : wrong) EXPECT_EQ(count, 0);
}

TEST(PlainDouble, ShortestRoundTripInFixedNotation) {
  EXPECT_EQ(plainDouble(100.0 * 0.3), "30.0");
  EXPECT_EQ(plainDouble(100.0 * 0.07), "7.000000000000001");
  EXPECT_EQ(plainDouble(100.0 * 0.29), "28.999999999999996");
  EXPECT_EQ(plainDouble(75), "75.0");
  EXPECT_EQ(plainDouble(0), "0.0");
  EXPECT_EQ(plainDouble(-0.0), "-0.0");
  EXPECT_EQ(plainDouble(0.5), "0.5");
  EXPECT_EQ(plainDouble(1e21), "1000000000000000000000.0");
  EXPECT_EQ(plainDouble(1.5e-7), "0.00000015");
  // Never an exponent, even at the ends of the range.
  EXPECT_EQ(std::strtod(plainDouble(5e-324).c_str(), nullptr), 5e-324);
  EXPECT_EQ(plainDouble(1e300).find('e'), std::string::npos);
}

TEST(PlainDouble, PointInEveryLocaleAndDefinedNonFinite) {
  const std::string before = setlocale(LC_NUMERIC, nullptr);
  ASSERT_NE(setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr);
  const std::string inGerman = plainDouble(2.5);
  setlocale(LC_NUMERIC, before.c_str());
  EXPECT_EQ(inGerman, "2.5");
  EXPECT_EQ(plainDouble(std::numeric_limits<double>::quiet_NaN()), "nan");
  EXPECT_EQ(plainDouble(std::numeric_limits<double>::infinity()), "inf");
  EXPECT_EQ(plainDouble(-std::numeric_limits<double>::infinity()), "-inf");
}

}  // namespace
}  // namespace stratovane
