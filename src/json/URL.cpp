// Validation of URL text.
#include "json/URL.h"

#include <cctype>
#include <cstring>

namespace stratovane {
namespace {

bool isHex(char c) {
  return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

bool isURLCharacter(char c) {
  if (std::isalnum(static_cast<unsigned char>(c)) && static_cast<unsigned char>(c) < 0x80) {
    return true;
  }
  return c != '\0' && std::strchr("-._~:/?#[]@!$&'()*+,;=", c) != nullptr;
}

}  // namespace

std::optional<URL> URL::fromString(std::string_view text) {
  if (text.empty()) return std::nullopt;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%') {
      if (i + 2 >= text.size()) return std::nullopt;
      if (!isHex(text[i + 1]) || !isHex(text[i + 2])) return std::nullopt;
      i += 2;
    } else if (!isURLCharacter(text[i])) {
      return std::nullopt;
    }
  }
  return URL(std::string(text));
}

}  // namespace stratovane
