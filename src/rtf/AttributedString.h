// Text with attribute runs: what an RTF document reads as, and what a text view can show.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace stratovane {

struct TextColor {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const TextColor&, const TextColor&) = default;
};

// How a paragraph's lines sit between the margins; a paragraph takes the alignment of its first
// character.
enum class TextAlignment { left, right, center, justified };

struct TextAttributes {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikethrough = false;
  std::optional<TextColor> foreground;  // none: the view's own colour
  double fontSize = 0;                  // in points; 0: the view's own size
  // Positive raises the text (superscript), negative lowers it (subscript).
  int baselineShift = 0;
  TextAlignment alignment = TextAlignment::left;
  friend bool operator==(const TextAttributes&, const TextAttributes&) = default;
};

// `start` and `length` count bytes of the UTF-8 text and always fall on character boundaries.
struct AttributeRun {
  std::size_t start = 0;
  std::size_t length = 0;
  TextAttributes attributes;
  friend bool operator==(const AttributeRun&, const AttributeRun&) = default;
};

// The text is UTF-8; paragraph and line breaks are "\n", tabs "\t". Runs are sorted, do not
// overlap and leave out text with the default attributes.
struct AttributedString {
  std::string string;
  std::vector<AttributeRun> runs;
  friend bool operator==(const AttributedString&, const AttributedString&) = default;
};

}  // namespace stratovane
