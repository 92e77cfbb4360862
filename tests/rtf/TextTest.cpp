// The RTF reader's text: breaks, symbols, escapes, Unicode and code pages.
#include <gtest/gtest.h>

#include <string>

#include "RtfTestSupport.h"

namespace stratovane {
namespace {

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
