// The icon table, compared byte for byte.
#include "presentation/emojiForIcon.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace stratovane {
namespace {

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
