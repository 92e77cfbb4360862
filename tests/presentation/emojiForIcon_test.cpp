// The icon table, compared byte for byte.
#include "presentation/emojiForIcon.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace stratovane {
namespace {

// UTF-8 of the code points, built here independently of the escapes in the table.
std::string utf8(std::initializer_list<char32_t> codePoints) {
  std::string out;
  for (char32_t c : codePoints) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

TEST(EmojiForIcon, EveryRowGivesItsCodePoints) {
  const std::string sun = utf8({0x2600, 0xFE0F});
  const std::string moon = utf8({0x1F315});
  const std::string rain = utf8({0x1F327});
  const std::string snow = utf8({0x2744, 0xFE0F});
  const std::string sleet = utf8({0x1F328});
  const std::string wind = utf8({0x1F32C});
  const std::string fog = utf8({0x1F32B});
  const std::string cloud = utf8({0x2601, 0xFE0F});
  const std::string partly = utf8({0x1F324});
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
  const std::string umbrella = utf8({0x2602, 0xFE0F});
  for (const char* input :
       {"", "11d", "11n", "01D", " 01d", "01d ", "Rain", "thunderstorm", "0", "01", "01dd"}) {
    EXPECT_EQ(emojiForIcon(input), umbrella) << '"' << input << '"';
  }
  // An embedded NUL must not end the comparison early.
  EXPECT_EQ(emojiForIcon(std::string_view("01d\0x", 5)), umbrella);
}

TEST(EmojiForIcon, SelectorOnlyWhereListed) {
  EXPECT_EQ(emojiForIcon("01d").size(), 6u);
  EXPECT_EQ(emojiForIcon("01n").size(), 4u);
  EXPECT_EQ(emojiForIcon("02n"), emojiForIcon("04d"));
  EXPECT_NE(emojiForIcon("02d"), emojiForIcon("02n"));
}

}  // namespace
}  // namespace stratovane
