// What the RTF reader leaves out (tables, pictures, skipped groups) and how it meets hostile input.
#include <gtest/gtest.h>

#include <string>

#include "RtfTestSupport.h"

namespace stratovane {
namespace {

std::string repeated(std::string_view piece, std::size_t count) {
  std::string out;
  for (std::size_t i = 0; i < count; ++i) out += piece;
  return out;
}

TEST(RtfDestinations, TablesPicturesAndStarredGroupsAreSkipped) {
  expectTexts({
      {"{\\rtf1{\\fonttbl\\f0\\fswiss Helvetica;}{\\stylesheet{\\s0 Normal;}}a}", "a"},
      {"{\\rtf1{\\info{\\title T}{\\author A}}a}", "a"},
      {"{\\rtf1 a{\\*\\generator Writer;}{\\*\\unknown {x}y}b}", "ab"},
      {"{\\rtf1 a{\\pict\\pngblip 89504e47}b}", "ab"},
      {"{\\rtf1 a{\\pict\\bin4 }}{b}b}", "ab"},  // binary data may hold braces
      {"{\\rtf1 a\\bin3 xyzb}", "ab"},
      {"{\\rtf1 a{\\header H}{\\footnote F}b}", "ab"},
      {"{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt link}}}", "link"},
      {"{\\rtf1 {\\field{\\fldinst PAGE}{\\fldrslt 3}}}", "3"},
      {"{\\rtf1 a{\\v hidden}b\\v c\\v0 d}", "abd"},
      {"{\\rtf1 {\\upr{ansi}{\\*\\ud{uni\\u8364?}}}}", "uni\u20AC"},
      {"{\\rtf1 {\\pntext 1.\\tab}item}", "1.\titem"},
  });
}

TEST(RtfHostileInput, TruncatedDocumentsKeepWhatWasRead) {
  expectTexts({
      {"{\\rtf1 abc", "abc"},
      {"{\\rtf1 {\\b abc", "abc"},
      {"{\\rtf1 abc\\", "abc"},
      {"{\\rtf1 abc\\'4", "abc"},
      {"{\\rtf1 abc\\u", "abc"},
      {"{\\rtf1 abc\\u-10179", "abc\uFFFD"},
      {"{\\rtf1 abc\\bin999999999999 xyz", "abc"},
      {"{\\rtf1 abc\\bin-5 xyz}", "abcxyz"},
      {"{\\rtf1 abc}}}} after", "abc"},
  });
}

TEST(RtfHostileInput, DeepNestingIsReadFlat) {
  const std::size_t depth = 5000;
  const std::string rtf = "{\\rtf1 " + repeated("{\\b x", depth) + repeated("}", depth) + "y}";
  const auto read = readRTF(rtf);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->string, repeated("x", depth) + "y");
  EXPECT_EQ(read->runs.size(), 1u);  // the flat groups' bold leaks only into them
}

TEST(RtfHostileInput, HugeNumbersAndCountsStayBounded) {
  EXPECT_EQ(textOf("{\\rtf1 \\uc999999999999999999999\\u65 abc}"), "A");
  EXPECT_EQ(textOf("{\\rtf1 \\b-99999999999999999999 x\\cf99999999999 y\\f-2147483648 z}"), "xyz");
  EXPECT_EQ(textOf("{\\rtf1\\ansicpg-2147483649\\deff99999999999999 \\'e9}"), "\u00E9");
  // Output grows with the input, not with the numbers in it.
  const std::string many = "{\\rtf1 " + repeated("\\u-10179\\'3f", 20'000) + "}";
  const auto read = readRTF(many);
  ASSERT_TRUE(read);
  EXPECT_LE(read->string.size(), many.size());
}

}  // namespace
}  // namespace stratovane
