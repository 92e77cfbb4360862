// Conversions between stored numbers and texts, independent of the process locale.
#include "platform/system/NumberText.h"

#include <locale.h>
#include <stdlib.h>

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace stratovane {

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

std::size_t skipBlanks(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isBlank(text[i])) ++i;
  return i;
}

// Kept for the whole process: strtod_l needs a locale object, and the C locale never changes.
locale_t cLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t{});
  return locale;
}

std::string toChars(double value, bool fixed) {
  // The longest fixed form of a double (a denormal) has about 330 characters.
  std::array<char, 512> buffer;
  const auto result = fixed ? std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                            std::chars_format::fixed)
                            : std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  if (result.ec != std::errc{}) return {};
  return std::string(buffer.data(), result.ptr);
}

}  // namespace

std::int64_t integerFromDouble(double value) noexcept {
  constexpr double twoToThe63 = 9223372036854775808.0;
  if (std::isnan(value)) return 0;
  if (value >= twoToThe63) return std::numeric_limits<std::int64_t>::max();
  if (value <= -twoToThe63) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(value);
}

std::int64_t integerFromText(std::string_view text) noexcept {
  std::size_t i = skipBlanks(text);
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  constexpr auto max = std::numeric_limits<std::int64_t>::max();
  constexpr auto min = std::numeric_limits<std::int64_t>::min();
  std::int64_t result = 0;
  // Accumulated toward the sign's limit so that the minimum itself is reachable.
  for (; i < text.size() && isDigit(text[i]); ++i) {
    const int digit = text[i] - '0';
    if (negative) {
      if (result < (min + digit) / 10) return min;
      result = result * 10 - digit;
    } else {
      if (result > (max - digit) / 10) return max;
      result = result * 10 + digit;
    }
  }
  return result;
}

double doubleFromText(std::string_view text) {
  std::size_t i = skipBlanks(text);
  const std::size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const auto skipDigits = [&] {
    const std::size_t first = i;
    while (i < text.size() && isDigit(text[i])) ++i;
    return i - first;
  };
  std::size_t digits = skipDigits();
  if (i < text.size() && text[i] == '.') {
    ++i;
    digits += skipDigits();
  }
  if (digits == 0) return 0.0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && isDigit(text[j])) {
      while (j < text.size() && isDigit(text[j])) ++j;
      i = j;
    }
  }
  // Only a plain decimal number reaches strtod_l, so it never sees hexadecimal, inf or nan, and
  // it rounds correctly and saturates to an infinity as the C library does.
  const std::string number(text.substr(start, i - start));
  if (const locale_t locale = cLocale()) return strtod_l(number.c_str(), nullptr, locale);
  // Without memory for a locale object: from_chars is exact too, but gives 0 out of range.
  const char* begin = number.c_str();
  if (*begin == '+') ++begin;
  double value = 0.0;
  std::from_chars(begin, number.c_str() + number.size(), value);
  return value;
}

std::string shortestText(double value) {
  return toChars(value, false);
}

std::string shortestFixedText(double value) {
  return toChars(value, true);
}

}  // namespace stratovane
