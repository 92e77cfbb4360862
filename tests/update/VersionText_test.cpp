// The version text: its bytes to UTF-8 (the named charset, else UTF-8, else ISO-8859-1), then
// the version read from it.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "update/TextDecoding.h"
#include "update/Version.h"

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

struct Split {
  std::string text;
  Version expected;
};

TEST(Version, SplitsIntoThreeIntegers) {
  const Split cases[] = {
      {"2.10.3", {2, 10, 3}},
      {"2.1.0\n", {2, 1, 0}},  // the line break ends the number
      {"1.2.3.4", {1, 2, 3}},  // pieces after the third are ignored
      {"1.x.2", {1, 0, 2}},
      {"2.1", {2, 1, 0}},  // missing components are 0
      {"", {0, 0, 0}},
      {" +3. -4.\t5rc1", {3, -4, 5}},
      {"<html><body>404 Not Found</body></html>", {0, 0, 0}},
      {"99999999999999999999.1.1", {INT64_MAX, 1, 1}},
  };
  for (const Split& split : cases) {
    const Version version = Version::parse(split.text);
    EXPECT_EQ(version, split.expected)
        << split.text << " gave " << version.major << "." << version.minor << "." << version.patch;
  }
}

}  // namespace
}  // namespace stratovane
