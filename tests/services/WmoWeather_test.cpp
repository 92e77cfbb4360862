// The WMO code table: icons, the codes outside it and the descriptions in every language.
#include "services/WmoWeather.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <climits>
#include <set>

#include "json/Utf8.h"
#include "platform/Settings.h"

namespace stratovane {
namespace {

// Open-Meteo's documented codes.
constexpr std::int64_t kCodes[] = {0,  1,  2,  3,  45, 48, 51, 53, 55, 56, 57, 61, 63, 65,
                                   66, 67, 71, 73, 75, 77, 80, 81, 82, 85, 86, 95, 96, 99};

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

TEST(WmoWeatherTest, EveryCodeHasADayAndANightIconOfOneCallForItsClassOfConditions) {
  const std::set<std::string> icons{"01", "02", "03", "04", "09", "10", "11", "13", "50"};
  for (const std::int64_t code : kCodes) {
    const std::optional<std::string> day = iconForWmoCode(code, true);
    const std::optional<std::string> night = iconForWmoCode(code, false);
    ASSERT_TRUE(day && night) << code;
    ASSERT_EQ(day->size(), 3u) << code;
    EXPECT_EQ(day->back(), 'd') << code;
    EXPECT_EQ(*night, day->substr(0, 2) + 'n') << code;
    EXPECT_TRUE(icons.count(day->substr(0, 2))) << code << " " << *day;
  }
  // Each class of conditions has its own.
  const std::pair<std::int64_t, const char*> cases[] = {
      {0, "01d"},  {3, "04d"},  {45, "50d"}, {56, "13d"}, {61, "10d"},
      {66, "13d"}, {77, "13d"}, {80, "09d"}, {85, "13d"}, {95, "11d"}};
  for (const auto& [code, icon] : cases) EXPECT_EQ(iconForWmoCode(code, true), icon) << code;
}

TEST(WmoWeatherTest, CodesOutsideTheTableGiveNone) {
  for (const std::int64_t code : {std::int64_t{-1}, std::int64_t{4}, std::int64_t{52},
                                  std::int64_t{100}, std::int64_t{1000}, INT64_MIN, INT64_MAX}) {
    EXPECT_FALSE(iconForWmoCode(code, true)) << code;
    EXPECT_FALSE(iconForWmoCode(code, false)) << code;
    EXPECT_FALSE(descriptionForWmoCode(code, "en")) << code;
    EXPECT_FALSE(descriptionForWmoCode(code, "de")) << code;
  }
}

// German nouns keep their capital as the first word; an adjective or adverb there does not.
TEST(WmoWeatherTest, DescriptionsAreTrimmedLowerCaseDistinctAndTranslated) {
  const std::set<std::string_view> germanNounStarts{"Nebel",         "Nieselregen",  "Schneefall",
                                                    "Schneegriesel", "Regenschauer", "Gewitter"};
  for (const std::string_view language : feedLanguages) {
    std::set<std::string_view> seen;
    for (const std::int64_t code : kCodes) {
      const std::optional<std::string_view> text = descriptionForWmoCode(code, language);
      ASSERT_TRUE(text && !text->empty()) << language << " " << code;
      ASSERT_TRUE(detail::isValidUTF8(*text)) << language << " " << code;
      EXPECT_FALSE(isBlank(text->front()) || isBlank(text->back())) << language << " " << *text;
      EXPECT_EQ(text->find("  "), std::string_view::npos) << language << " " << *text;
      if (g_unichar_isupper(g_utf8_get_char(text->data()))) {
        EXPECT_TRUE(language == "de" && germanNounStarts.count(text->substr(0, text->find(' '))))
            << language << " " << *text;
      }
      EXPECT_TRUE(seen.insert(*text).second) << language << " twice: " << *text;
      if (language != "en") {
        EXPECT_NE(*text, descriptionForWmoCode(code, "en")) << language << " " << *text;
      }
    }
  }
}

TEST(WmoWeatherTest, LanguagesPickTheirColumnAndUnknownOnesEnglish) {
  EXPECT_EQ(descriptionForWmoCode(0, "en"), "clear sky");
  EXPECT_EQ(descriptionForWmoCode(61, "da"), "let regn");
  EXPECT_EQ(descriptionForWmoCode(75, "de"), "starker Schneefall");
  EXPECT_EQ(descriptionForWmoCode(95, "ru"), "гроза");
  EXPECT_EQ(descriptionForWmoCode(3, "sv"), "mulet");
  for (const std::string_view language : {"", "EN", "De", "xx", "english", "zh_cn", "e"}) {
    for (const std::int64_t code : kCodes)
      EXPECT_EQ(descriptionForWmoCode(code, language), descriptionForWmoCode(code, "en"))
          << "'" << language << "' " << code;
  }
}

}  // namespace
}  // namespace stratovane
