// Splits RTF bytes into groups, control words, control symbols and text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace stratovane {

struct RtfToken {
  enum class Kind { groupStart, groupEnd, controlWord, controlSymbol, hexByte, text, end };
  Kind kind = Kind::end;
  std::string_view text;                  // the control word's letters, or the text bytes
  std::optional<std::int32_t> parameter;  // of a control word, clamped to +-999999999
  char symbol = 0;                        // of a control symbol
  unsigned char byte = 0;                 // of \'hh
};

class RtfTokenizer {
 public:
  explicit RtfTokenizer(std::string_view data) : data_(data) {}

  // Text tokens never hold braces, backslashes or line ends; line ends are dropped.
  RtfToken next();
  // Steps over the data of \binN; less when the document ends sooner.
  void skip(std::size_t count);

 private:
  RtfToken controlWord();

  std::string_view data_;
  std::size_t position_ = 0;
};

}  // namespace stratovane
