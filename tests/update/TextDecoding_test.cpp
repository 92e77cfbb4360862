// The version text's bytes to UTF-8: the named charset, else UTF-8, else ISO-8859-1.
#include "update/TextDecoding.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace stratovane {
namespace {

struct Decoding {
  std::string bytes;
  std::string contentType;
  std::optional<std::string> expected;
};

TEST(TextDecoding, FollowsTheNamedCharsetThenUTF8ThenLatin1) {
  const Decoding cases[] = {
      {"2.1.0\n", "", "2.1.0\n"},
      {"2.1.0 \xC3\xA9", "text/plain", "2.1.0 \xC3\xA9"},  // valid UTF-8
      {"2.1.0 \xE9", "text/plain", "2.1.0 \xC3\xA9"},      // not UTF-8: ISO-8859-1
      {"\xA4", "text/plain; charset=ISO-8859-15", "\xE2\x82\xAC"},
      {"\x80", "text/plain;charset=\"windows-1252\"", "\xE2\x82\xAC"},
      {"\xA4", "text/plain; format=flowed; CHARSET=iso-8859-15 ", "\xE2\x82\xAC"},
      {std::string("\xFF\xFE"
                   "2\0.\0"
                   "1\0",
                   8),
       "text/plain; charset=UTF-16", "2.1"},
      {"2.1.0", "text/plain; charset=utf-8", "2.1.0"},
      {"2.1.0 \xE9", "text/plain; charset=UTF-8", std::nullopt},        // invalid in what it names
      {"\x1B$B\x30", "text/plain; charset=ISO-2022-JP", std::nullopt},  // cut short
      {"2.1.0", "text/plain; charset=no-such-charset", std::nullopt},
  };
  for (const Decoding& decoding : cases) {
    EXPECT_EQ(decodeText(decoding.bytes, decoding.contentType), decoding.expected)
        << decoding.contentType;
  }
}

}  // namespace
}  // namespace stratovane
