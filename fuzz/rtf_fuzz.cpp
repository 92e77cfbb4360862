// Fuzzes the RTF reader: any bytes read to well-formed attributed text in bounded size.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "rtf/RtfReader.h"

namespace stratovane {
namespace {

void check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "rtf_fuzz: %s\n", what);
  std::abort();
}

bool isContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// Strict UTF-8: no overlong forms, surrogates or code points past U+10FFFF.
bool isValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    std::uint32_t codePoint = 0;
    if (lead < 0x80) {
      ++i;
      continue;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2;
      codePoint = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3;
      codePoint = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4;
      codePoint = lead & 0x07;
    } else {
      return false;
    }
    if (i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto byte = static_cast<unsigned char>(text[i + k]);
      if (!isContinuation(byte)) return false;
      codePoint = (codePoint << 6) | (byte & 0x3F);
    }
    constexpr std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (codePoint < smallest[length] || codePoint > 0x10FFFF) return false;
    if (codePoint >= 0xD800 && codePoint <= 0xDFFF) return false;
    i += length;
  }
  return true;
}

bool onBoundary(std::string_view text, std::size_t offset) {
  return offset == text.size() || !isContinuation(static_cast<unsigned char>(text[offset]));
}

}  // namespace
}  // namespace stratovane

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace stratovane;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto read = readRTF(bytes);
  check(read.has_value() == bytes.starts_with("{\\rtf"), "RTF detection is not the prefix");
  if (!read) return 0;
  const std::string_view text = read->string;
  check(isValidUtf8(text), "the text is not valid UTF-8");
  // No piece of input yields more than three bytes per input byte (U+FFFD for one byte).
  check(text.size() <= 3 * size, "the text outgrows the input");
  std::size_t end = 0;
  for (const AttributeRun& run : read->runs) {
    check(run.length > 0, "an empty run");
    check(run.start >= end, "runs unsorted or overlapping");
    check(run.start <= text.size() && run.length <= text.size() - run.start, "run out of bounds");
    check(onBoundary(text, run.start) && onBoundary(text, run.start + run.length),
          "run splits a character");
    check(!(run.attributes == TextAttributes{}), "a run with default attributes");
    check(run.attributes.fontSize >= 0 && run.attributes.fontSize <= 1638, "font size unbounded");
    end = run.start + run.length;
  }
  return 0;
}
