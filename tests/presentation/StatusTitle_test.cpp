// The status-bar title for every display mode, its fallbacks and the emoji in front, and the icon
// table behind the emoji.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/system/FileUserDefaults.h"
#include "platform/system/LocaleNumberFormatting.h"
#include "presentation/PresentationTestSupport.h"
#include "presentation/StatusTitle.h"
#include "presentation/emojiForIcon.h"

namespace stratovane {
namespace {

using testing::answer;

const std::string kSun = "\u2600\uFE0F";
const std::string kCloud = "\u2601\uFE0F";

class StatusTitle : public ::testing::Test {
 protected:
  std::string title(const std::string& json, std::int64_t mode, std::int64_t decimals = 0) {
    defaults.setInteger(decimals, "decimals");
    return statusTitle(answer(json), mode, defaults, numbers);
  }

  FileUserDefaults defaults{""};
  const LocaleNumberFormatting numbers{"en_US.UTF-8"};
};

constexpr const char* kFull = R"({
  "current": {"temp": 21.6, "clouds": 75,
              "weather": [{"description": "clear sky", "icon": "01d"}]},
  "currently": {"precipProbability": 0.07},
  "hourly": [{"pop": 0.5}]
})";

TEST_F(StatusTitle, EveryModeOnAFullAnswer) {
  EXPECT_EQ(title(kFull, 0), kSun + " clear sky");
  EXPECT_EQ(title(kFull, 1), kSun + " 22\u00B0 ");  // ends in a blank
  EXPECT_EQ(title(kFull, 2), kSun + " Rain: 7.000000000000001%");
  EXPECT_EQ(title(kFull, 3), kSun + " Cloud: 75.0%");
  EXPECT_EQ(title(kFull, 4, 1), kSun + " 21.6\u00B0 clear sky");
  for (std::int64_t mode : {5, -1, -2, 100}) EXPECT_EQ(title(kFull, mode), kSun + " Error");
}

TEST_F(StatusTitle, ReadingsAndDescriptionsAsReceived) {
  EXPECT_EQ(title(R"({"current": {"clouds": 0}})", 3), "Cloud: 0.0%");
  EXPECT_EQ(title(R"({"current": {"clouds": true}})", 3), "Cloud: 1.0%");
  EXPECT_EQ(title(R"({"current": {"temp": -0.4}})", 1), "-0\u00B0 ");
  EXPECT_EQ(title(R"({"current": {"weather": [{"description": " Light RAIN "}]}})", 0),
            " Light RAIN ");
  EXPECT_EQ(title(R"({"current": {"weather": [{"description": ""}]}})", 0), "");
}

TEST_F(StatusTitle, MissingOrIllTypedMembersGiveError) {
  for (std::int64_t mode : {0, 1, 3, 4}) {
    EXPECT_EQ(title(R"({"hourly": []})", mode), "Error") << mode;
    EXPECT_EQ(title(R"({"current": {"weather": []}})", mode), "Error") << mode;
    EXPECT_EQ(title(R"({"current": [1, 2]})", mode), "Error") << mode;
  }
  EXPECT_EQ(title(R"({"current": {"temp": "12"}})", 1), "Error");
  EXPECT_EQ(title(R"({"current": {"temp": null}})", 1), "Error");
  EXPECT_EQ(title(R"({"current": {"clouds": "75"}})", 3), "Error");
  EXPECT_EQ(title(R"({"current": {"weather": [{"description": 7}]}})", 0), "Error");
  // Mode 4 needs both members.
  EXPECT_EQ(title(R"({"current": {"temp": 3}})", 4), "Error");
  EXPECT_EQ(title(R"({"current": {"weather": [{"description": "fog"}]}})", 4), "Error");
  EXPECT_EQ(title(R"([1, 2, 3])", 0), "Error");
  EXPECT_EQ(title(R"("text")", 1), "Error");
}

TEST_F(StatusTitle, EmojiComesFirstInEveryModeWhenTheIconIsAText) {
  const char* iconOnly = R"({"current": {"weather": [{"icon": "04n"}]}})";
  EXPECT_EQ(title(iconOnly, 0), kCloud + " Error");
  EXPECT_EQ(title(iconOnly, 7), kCloud + " Error");
  EXPECT_EQ(title(R"({"current": {"weather": [{"icon": "11d"}]}})", 1), "\u2602\uFE0F Error");
  EXPECT_EQ(title(R"({"current": {"weather": [{"icon": ""}]}})", 1), "\u2602\uFE0F Error");
  // An icon that is not a text gives no emoji at all.
  EXPECT_EQ(title(R"({"current": {"weather": [{"icon": 1}], "temp": 5}})", 1), "5\u00B0 ");
  EXPECT_EQ(title(R"({"current": {"weather": {"icon": "01d"}, "temp": 5}})", 1), "5\u00B0 ");
}

TEST_F(StatusTitle, ChanceOfRainFallsBackToTheFirstHour) {
  const char* icon = R"("current": {"weather": [{"icon": "04n"}]})";
  const auto with = [&](const std::string& rest) { return "{" + std::string(icon) + rest + "}"; };
  // One Call answers have no `currently`: the first hour's pop is the chance.
  EXPECT_EQ(title(with(R"(, "hourly": [{"pop": 0.29}, {"pop": 1}])"), 2),
            kCloud + " Rain: 28.999999999999996%");
  EXPECT_EQ(title(with(R"(, "hourly": [{"pop": 0}])"), 2), kCloud + " Rain: 0.0%");
  // `currently` wins when present.
  EXPECT_EQ(title(with(R"(, "currently": {"precipProbability": 1}, "hourly": [{"pop": 0.5}])"), 2),
            kCloud + " Rain: 100.0%");
  // Neither: the fixed fallback, in its own form.
  EXPECT_EQ(title(with(""), 2), kCloud + " Rain 0 %");
  EXPECT_EQ(title(with(R"(, "hourly": [{"pop": "0.5"}])"), 2), kCloud + " Rain 0 %");
  EXPECT_EQ(title(with(R"(, "hourly": [{}, {"pop": 0.5}])"), 2), kCloud + " Rain 0 %");
  EXPECT_EQ(title(R"({"cod": 401, "message": "Invalid API key"})", 2), "Rain 0 %");
}

// The digits themselves are formatReading's; here only that decimals and locale reach it.
TEST_F(StatusTitle, TemperatureFollowsDecimalsAndLocale) {
  const LocaleNumberFormatting german("de_DE.UTF-8");
  defaults.setInteger(1, "decimals");
  EXPECT_EQ(statusTitle(answer(R"({"current": {"temp": 12.35}})"), 1, defaults, german),
            "12,4\u00B0 ");
  // Percentages keep the point.
  EXPECT_EQ(statusTitle(answer(R"({"current": {"clouds": 12.5}})"), 3, defaults, german),
            "Cloud: 12.5%");
}

// Expected bytes are spelled in hex, independently of the escapes in the table.
TEST(EmojiForIcon, EveryRowGivesItsCodePoints) {
  const std::string sun = "\xE2\x98\x80\xEF\xB8\x8F";
  const std::string moon = "\xF0\x9F\x8C\x95";
  const std::string rain = "\xF0\x9F\x8C\xA7";
  const std::string snow = "\xE2\x9D\x84\xEF\xB8\x8F";
  const std::string sleet = "\xF0\x9F\x8C\xA8";
  const std::string wind = "\xF0\x9F\x8C\xAC";
  const std::string fog = "\xF0\x9F\x8C\xAB";
  const std::string cloud = "\xE2\x98\x81\xEF\xB8\x8F";
  const std::string partly = "\xF0\x9F\x8C\xA4";
  const std::vector<std::pair<std::vector<std::string>, std::string>> rows{
      {{"clear-day", "01d"}, sun},
      {{"clear-night", "01n"}, moon},
      {{"rain", "09d", "09n", "10d", "10n"}, rain},
      {{"snow", "13d", "13n"}, snow},
      {{"sleet"}, sleet},
      {{"wind"}, wind},
      {{"fog", "50d", "50n"}, fog},
      {{"cloudy", "03d", "03n", "04d", "04n"}, cloud},
      {{"partly-cloudy-day", "02d"}, partly},
      {{"partly-cloudy-night", "02n"}, cloud},
  };
  for (const auto& [inputs, emoji] : rows) {
    for (const std::string& input : inputs) EXPECT_EQ(emojiForIcon(input), emoji) << input;
  }
}

TEST(EmojiForIcon, AnythingElseIsTheUmbrella) {
  const std::string umbrella = "\xE2\x98\x82\xEF\xB8\x8F";
  for (const char* input :
       {"", "11d", "11n", "01D", " 01d", "01d ", "Rain", "thunderstorm", "0", "01", "01dd"}) {
    EXPECT_EQ(emojiForIcon(input), umbrella) << '"' << input << '"';
  }
  // An embedded NUL must not end the comparison early.
  EXPECT_EQ(emojiForIcon(std::string_view("01d\0x", 5)), umbrella);
}

}  // namespace
}  // namespace stratovane
