// Arguments filled into translated texts.
#include "platform/Translation.h"

#include <gtest/gtest.h>

namespace stratovane {
namespace {

TEST(TranslationTest, ArgumentsGoWhereTheTextPutsThemAndNothingElseIsRead) {
  const struct {
    const char* text;
    const char* filled;
  } cases[] = {
      {"Stratovane %s is now available - you have %s.",
       "Stratovane 9.0 is now available - you have 1.2."},
      {"%2$s vor %1$s", "1.2 vor 9.0"},  // a translation may reorder them
      {"%1$s, %1$s", "9.0, 9.0"},        // or repeat one
      {"100 %% sure: %s", "100 % sure: 9.0"},
      {"%s %s %s", "9.0 1.2 %s"},                // no third argument: left as written
      {"%3$s %0$s %d %x%", "%3$s %0$s %d %x%"},  // nothing it could read is touched
      {"%99999999999999999999$s", "%99999999999999999999$s"},
      {"%1$", "%1$"},
      {"", ""},
  };
  for (const auto& expected : cases)
    EXPECT_EQ(fillIn(expected.text, {"9.0", "1.2"}), expected.filled) << expected.text;
  // Arguments are put in as they are, never read as text to fill in themselves.
  EXPECT_EQ(fillIn("%s until %s", {"%s %2$s", "%%"}), "%s %2$s until %%");
}

}  // namespace
}  // namespace stratovane
