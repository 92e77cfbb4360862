// Fuzzes the RTF reader: any bytes read to well-formed attributed text in bounded size.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "json/Utf8.h"
#include "rtf/RtfReader.h"

namespace stratovane {
namespace {

void check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "rtf_fuzz: %s\n", what);
  std::abort();
}

// At the end or at a byte that is not a UTF-8 continuation byte.
bool onBoundary(std::string_view text, std::size_t offset) {
  return offset == text.size() || (static_cast<unsigned char>(text[offset]) & 0xC0) != 0x80;
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
  check(detail::isValidUTF8(text), "the text is not valid UTF-8");
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
    check(run.attributes.alignment >= TextAlignment::left &&
              run.attributes.alignment <= TextAlignment::justified,
          "an alignment outside the four");
    end = run.start + run.length;
  }
  return 0;
}
