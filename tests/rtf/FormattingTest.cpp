// Attribute runs of the RTF reader: character formatting, colours, sizes and their scopes.
#include <gtest/gtest.h>

#include <string>
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

// The alignment of each paragraph, as its first character carries it.
std::vector<TextAlignment> paragraphAlignments(std::string_view rtf) {
  const auto read = readRTF(rtf);
  if (!read) return {};
  std::vector<TextAlignment> alignments;
  for (std::size_t start = 0; start < read->string.size();
       start = read->string.find('\n', start) + 1) {
    TextAlignment alignment = TextAlignment::left;
    for (const AttributeRun& run : read->runs)
      if (run.start <= start && start < run.start + run.length)
        alignment = run.attributes.alignment;
    alignments.push_back(alignment);
    if (read->string.find('\n', start) == std::string::npos) break;
  }
  return alignments;
}

TEST(RtfFormatting, ParagraphAlignmentOfWordProcessorFiles) {
  using enum TextAlignment;
  // Heads of the paragraphs as the word processors write them: a centred title, a right-aligned
  // date, a justified paragraph, then one back at the left.
  const struct {
    const char* writer;
    const char* rtf;
  } files[] = {
      {"WordPad",
       "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat{\\fonttbl{\\f0\\fnil\\fcharset0 "
       "Calibri;}}\r\n{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n"
       "\\pard\\sa200\\sl276\\slmult1\\qc\\b\\f0\\fs32\\lang9 Title\\b0\\fs22\\par\r\n"
       "\\pard\\sa200\\sl276\\slmult1\\qr 2024-06-01\\par\r\n"
       "\\pard\\sa200\\sl276\\slmult1\\qj Body text.\\par\r\n"
       "\\pard\\sa200\\sl276\\slmult1 Left.\\par\r\n}"},
      {"Word",
       "{\\rtf1\\adeflang1025\\ansi\\ansicpg1252\\uc1\\adeff31507\\deff0{\\fonttbl{\\f0"
       "\\froman\\fcharset0 Times New Roman;}}{\\*\\rsidtbl \\rsid4343}\r\n"
       "\\pard\\plain \\ltrpar\\qc \\li0\\ri0\\widctlpar\\wrapdefault\\rtlch\\fcs1 "
       "\\af31507\\afs24 \\ltrch\\fcs0 \\fs24\\lang1033 {\\rtlch\\fcs1 \\af31507 \\ltrch"
       "\\fcs0 \\b\\insrsid4343 Title}{\\insrsid4343 \\par }\r\n"
       "\\pard \\ltrpar\\qr \\li0\\ri0\\widctlpar{\\insrsid4343 2024-06-01\\par }\r\n"
       "\\pard \\ltrpar\\qj \\li0\\ri0\\widctlpar{\\insrsid4343 Body text.\\par }\r\n"
       "\\pard \\ltrpar\\ql \\li0\\ri0\\widctlpar{\\insrsid4343 Left.\\par }}"},
      {"LibreOffice Writer",
       "{\\rtf1\\ansi\\deff4\\adeflang1025\r\n{\\fonttbl{\\f4\\froman\\fprq2\\fcharset0 "
       "Liberation Serif;}}\r\n{\\stylesheet{\\s0\\snext0\\ql\\widctlpar\\hyphpar0\\ltrpar "
       "Normal;}}\r\n{\\*\\generator LibreOffice/7.4.7.2$Linux_X86_64 LibreOffice_project/40}"
       "\\formshade\\paperh16838\\paperw11906\r\n"
       "\\pgndec\\pard\\plain \\s0\\ql\\widctlpar\\hyphpar0\\ltrpar\\qc{\\b\\rtlch "
       "\\ab Title}\r\n\\par \\pard\\plain \\s0\\ql\\widctlpar\\hyphpar0\\ltrpar\\qr"
       "{\\rtlch 2024-06-01}\r\n\\par \\pard\\plain \\s0\\ql\\widctlpar\\hyphpar0\\ltrpar"
       "\\qj{\\rtlch Body text.}\r\n\\par \\pard\\plain \\s0\\ql\\widctlpar\\hyphpar0"
       "\\ltrpar{\\rtlch Left.}\r\n\\par }"},
      {"TextEdit",
       "{\\rtf1\\ansi\\ansicpg1252\\cocoartf2709\n\\cocoatextscaling0\\cocoaplatform0"
       "{\\fonttbl\\f0\\fswiss\\fcharset0 Helvetica;}\n{\\colortbl;\\red255\\green255"
       "\\blue255;}\n\\paperw11900\\paperh16840\\margl1440\\margr1440\\vieww11520"
       "\\viewh8400\\viewkind0\n\\pard\\tx566\\tx1133\\pardirnatural\\qc"
       "\\partightenfactor0\n\n\\f0\\b\\fs24 \\cf0 Title\\\n"
       "\\pard\\tx566\\tx1133\\pardirnatural\\qr\\partightenfactor0\n\n\\b0 \\cf0 "
       "2024-06-01\\\n\\pard\\tx566\\tx1133\\pardirnatural\\qj\\partightenfactor0\n"
       "\\cf0 Body text.\\\n\\pard\\tx566\\tx1133\\pardirnatural\\partightenfactor0\n"
       "\\cf0 Left.}"},
  };
  for (const auto& [writer, rtf] : files) {
    EXPECT_EQ(readRTF(rtf)->string.substr(0, 17), "Title\n2024-06-01\n") << writer;
    EXPECT_EQ(paragraphAlignments(rtf),
              (std::vector<TextAlignment>{center, right, justified, left}))
        << writer;
  }
}

TEST(RtfFormatting, AlignmentLastsUntilPardAndIsScopedByGroupsNotByPlain) {
  using enum TextAlignment;
  EXPECT_EQ(paragraphAlignments("{\\rtf1 \\qc a\\par b\\par\\pard c}"),
            (std::vector<TextAlignment>{center, center, left}));
  EXPECT_EQ(paragraphAlignments("{\\rtf1 {\\qr a\\par}b\\par\\qj\\plain c}"),
            (std::vector<TextAlignment>{right, left, justified}));
  EXPECT_EQ(paragraphAlignments("{\\rtf1 \\qc\\ql a}"), (std::vector<TextAlignment>{left}));
  // Character runs split inside an aligned paragraph keep its alignment.
  TextAttributes centredBold;
  centredBold.alignment = center;
  TextAttributes centred = centredBold;
  centredBold.bold = true;
  EXPECT_EQ(runsOf("{\\rtf1 \\qc{\\b a}b}"),
            (std::vector<AttributeRun>{{0, 1, centredBold}, {1, 1, centred}}));
}

}  // namespace
}  // namespace stratovane
