// The RTF reader's text: breaks, symbols, escapes, Unicode, code pages, what it leaves out
// (tables, pictures, skipped groups) and how it meets hostile input.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>

#include "rtf/RtfReader.h"

namespace stratovane {
namespace {

std::string textOf(std::string_view rtf) {
  const auto read = readRTF(rtf);
  EXPECT_TRUE(read.has_value()) << rtf;
  return read ? read->string : std::string("<not RTF>");
}

struct RtfCase {
  const char* rtf;
  const char* text;
};

void expectTexts(std::initializer_list<RtfCase> cases) {
  for (const auto& [rtf, text] : cases) EXPECT_EQ(textOf(rtf), text) << rtf;
}

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

TEST(RtfText, OnlyDataStartingAsADocumentIsRtf) {
  for (const char* other : {"", "plain text", " {\\rtf1 x}", "<html>{\\rtf1 x}</html>"}) {
    EXPECT_FALSE(readRTF(other).has_value()) << other;
  }
  EXPECT_EQ(textOf("{\\rtf"), "");
  EXPECT_EQ(readRTF("{\\rtf1 }")->runs.size(), 0u);
}

TEST(RtfText, BreaksAndSymbols) {
  expectTexts({
      {"{\\rtf1 one\\par two\\line three\\tab four}", "one\ntwo\nthree\tfour"},
      {"{\\rtf1 one\\\ntwo\\\r\nthree}", "one\ntwo\nthree"},  // backslash-newline
      {"{\\rtf1 li\r\nne\nends\r are no text}", "lineends are no text"},
      {"{\\rtf1 a\\emdash b\\endash c\\bullet d}", "a\u2014b\u2013c\u2022d"},
      {"{\\rtf1 \\lquote a\\rquote  \\ldblquote b\\rdblquote}", "\u2018a\u2019 \u201Cb\u201D"},
      {"{\\rtf1 a\\~b\\-c\\_d}", "a\u00A0bc\u2011d"},
      {"{\\rtf1 \\{braces\\} and \\\\}", "{braces} and \\"},
      {"{\\rtf1 a\\cell b\\cell\\row}", "a\tb\t\n"},
      {"{\\rtf1 word\\unknownword12 next\\unknown-3 }", "wordnext"},
      {"{\\rtf1 two  spaces\\par  lead}", "two  spaces\n lead"},  // one delimiter space only
  });
}

TEST(RtfText, UnicodeWithFallback) {
  expectTexts({
      {"{\\rtf1 \\u8364?}", "\u20AC"},
      {"{\\rtf1 \\uc2\\u8364 EU}", "\u20AC"},
      {"{\\rtf1 \\uc0\\u8364 EU}", "\u20ACEU"},
      {"{\\rtf1 \\u8364\\'80x}", "\u20ACx"},                        // an escape is one character
      {"{\\rtf1 {\\uc3 \\u8364???}\\u8364???}", "\u20AC\u20AC??"},  // \uc is group-scoped
      {"{\\rtf1 \\u-3971?}", "\uF07D"},                             // negative: above 32767
      {"{\\rtf1 \\u-10179?\\u-8704?}", "\U0001F600"},               // surrogate pair
      {"{\\rtf1 \\u55357?x}", "\uFFFDx"},                           // high surrogate alone
      {"{\\rtf1 x\\u56832?}", "x\uFFFD"},                           // low surrogate alone
      {"{\\rtf1 \\u9999999999?}", "\uFFFD"},
      {"{\\rtf1 \\u8364{?}}", "\u20AC?"},  // a group ends the fallback
  });
}

TEST(RtfText, CodePages) {
  expectTexts({
      {"{\\rtf1\\ansi caf\\'e9 \\'80}", "caf\u00E9 \u20AC"},
      {"{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8}", "\u041F\u0440\u0438"},
      {"{\\rtf1\\mac \\'8e}", "\u00E9"},
      {"{\\rtf1\\ansi\\ansicpg936 \\'d6\\'d0\\'ce\\'c4}", "\u4E2D\u6587"},
      {"{\\rtf1\\ansi\\ansicpg932 \\'83\\\\\\'83e}", "\u30BD\u30C6"},  // ASCII trail bytes
      {"{\\rtf1\\ansi\\ansicpg99999 \\'e9}", "\u00E9"},                // unknown: Windows-1252
      {"{\\rtf1\\ansi \\'81x\\'00}", "\uFFFDx"},       // undefined byte, control byte
      {"{\\rtf1\\ansi\\ansicpg936 \\'d6}", "\uFFFD"},  // a character cut short
      // The current font's character set, before the document's code page.
      {"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fcharset204 Arial Cyr;}"
       "\\f2\\fcharset128 MS Mincho;}\\'e9{\\f1 \\'e9}\\f2\\'82\\'a0\\plain\\'e9}",
       "\u00E9\u0439\u3042\u00E9"},
      {"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fcharset134 SimSun;}}\\'d6\\'d0}", "\u4E2D"},
      {"{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset0\\cpg1253 X;}}\\f0\\'e1}", "\u03B1"},
  });
}

}  // namespace
}  // namespace stratovane
