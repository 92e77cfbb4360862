// Attribute runs of the RTF reader: character formatting, colours, sizes and their scopes.
#include <gtest/gtest.h>

#include <vector>

#include "rtf/RtfReader.h"

namespace stratovane {
namespace {

TextAttributes with(bool TextAttributes::*member) {
  TextAttributes attributes;
  attributes.*member = true;
  return attributes;
}

std::vector<AttributeRun> runsOf(std::string_view rtf) {
  const auto read = readRTF(rtf);
  return read ? read->runs : std::vector<AttributeRun>{};
}

// The first run's attributes; the defaults when there is no run.
TextAttributes firstRun(const std::string& rtf) {
  const auto runs = runsOf(rtf);
  return runs.empty() ? TextAttributes{} : runs.front().attributes;
}

TEST(RtfFormatting, EachAttributeOnAndOff) {
  const struct {
    const char* on;
    const char* off;
    TextAttributes attributes;
  } cases[] = {
      {"\\b", "\\b0", with(&TextAttributes::bold)},
      {"\\i", "\\i0", with(&TextAttributes::italic)},
      {"\\ul", "\\ul0", with(&TextAttributes::underline)},
      {"\\uldb", "\\ulnone", with(&TextAttributes::underline)},
      {"\\strike", "\\strike0", with(&TextAttributes::strikethrough)},
      {"\\striked1", "\\striked0", with(&TextAttributes::strikethrough)},
  };
  for (const auto& c : cases) {
    const std::string rtf = std::string("{\\rtf1 a") + c.on + " bc" + c.off + " d}";
    const auto read = readRTF(rtf);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->string, "abcd");
    EXPECT_EQ(read->runs, (std::vector<AttributeRun>{{1, 2, c.attributes}})) << rtf;
  }
}

TEST(RtfFormatting, GroupsScopeAndPlainResets) {
  const TextAttributes bold = with(&TextAttributes::bold);
  TextAttributes boldItalic = bold;
  boldItalic.italic = true;
  EXPECT_EQ(runsOf("{\\rtf1 \\b a{\\i b}c\\plain d}"),
            (std::vector<AttributeRun>{{0, 1, bold}, {1, 1, boldItalic}, {2, 1, bold}}));
  // Neighbouring text with equal attributes is one run; \pard keeps character formatting.
  EXPECT_EQ(runsOf("{\\rtf1 {\\b a}{\\b b\\par\\pard c}}"),
            (std::vector<AttributeRun>{{0, 4, bold}}));
  // Runs count bytes of whole characters.
  EXPECT_EQ(runsOf("{\\rtf1 \\u8364?\\b \\u8364?}"), (std::vector<AttributeRun>{{3, 3, bold}}));
}

TEST(RtfFormatting, ColoursFromTheTable) {
  const char* table = "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue300;}";
  const auto colourOf = [&](const char* body) {
    return firstRun(std::string(table) + body + "}").foreground;
  };
  EXPECT_EQ(colourOf("\\cf1 x"), (TextColor{255, 0, 0}));
  EXPECT_EQ(colourOf("\\cf2 x"), (TextColor{0, 0, 255}));  // clamped component
  EXPECT_EQ(colourOf("\\cf1\\cf0 x"), std::nullopt);
  EXPECT_EQ(colourOf("\\cf3 x"), std::nullopt);
  EXPECT_EQ(colourOf("\\cf-1 x"), std::nullopt);
  EXPECT_EQ(readRTF(std::string(table) + "x}")->string, "x");
}

TEST(RtfFormatting, SizesAndBaseline) {
  EXPECT_EQ(firstRun("{\\rtf1 \\fs21 x}").fontSize, 10.5);
  EXPECT_EQ(firstRun("{\\rtf1 \\fs99999999999 x}").fontSize, 1638);
  EXPECT_EQ(firstRun("{\\rtf1 \\fs24\\fs-4 x}").fontSize, 0);
  EXPECT_EQ(firstRun("{\\rtf1 \\super x}").baselineShift, 1);
  EXPECT_EQ(firstRun("{\\rtf1 \\sub x}").baselineShift, -1);
  EXPECT_EQ(firstRun("{\\rtf1 \\up6 x}").baselineShift, 1);
  EXPECT_EQ(firstRun("{\\rtf1 \\dn6 x}").baselineShift, -1);
  EXPECT_EQ(runsOf("{\\rtf1 \\super\\nosupersub x}").size(), 0u);
}

}  // namespace
}  // namespace stratovane
