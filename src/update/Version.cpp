// A version as three integers, read from text the way the update server publishes it.
#include "update/Version.h"

#include <limits>

namespace stratovane {

namespace {

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The integer at the start of the text; out-of-range values stop at the nearest limit.
std::int64_t leadingInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  constexpr std::int64_t largest = std::numeric_limits<std::int64_t>::max();
  std::int64_t value = 0;  // kept negative when the sign says so, so the limit is reachable
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const int digit = text[i] - '0';
    if (negative) {
      if (value < (std::numeric_limits<std::int64_t>::min() + digit) / 10)
        return std::numeric_limits<std::int64_t>::min();
      value = value * 10 - digit;
    } else {
      if (value > (largest - digit) / 10) return largest;
      value = value * 10 + digit;
    }
  }
  return value;
}

// The piece before the next "."; the rest after it, or nothing when there is no ".".
std::int64_t takeComponent(std::string_view& rest) {
  const std::size_t dot = rest.find('.');
  const std::int64_t value = leadingInteger(rest.substr(0, dot));
  rest = dot == std::string_view::npos ? std::string_view() : rest.substr(dot + 1);
  return value;
}

}  // namespace

Version Version::parse(std::string_view text) {
  std::string_view rest = text;
  Version version;
  version.major = takeComponent(rest);
  version.minor = takeComponent(rest);
  version.patch = takeComponent(rest);
  return version;
}

}  // namespace stratovane
