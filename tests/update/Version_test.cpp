// Reading versions from text and ordering them.
#include "update/Version.h"

#include <gtest/gtest.h>

#include <string>

namespace stratovane {
namespace {

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
