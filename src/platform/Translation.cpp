// Arguments put into translated texts without printf, so that no catalogue can misuse them.
#include "platform/Translation.h"

#include <cstddef>
#include <vector>

namespace stratovane {

std::string fillIn(std::string_view text, std::initializer_list<std::string_view> arguments) {
  const std::vector<std::string_view> values(arguments);
  std::string filled;
  filled.reserve(text.size());
  std::size_t next = 0;  // the argument of the next plain "%s"
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] != '%' || i + 1 == text.size()) {
      filled += text[i++];
      continue;
    }
    if (text[i + 1] == '%') {
      filled += '%';
      i += 2;
      continue;
    }
    if (text[i + 1] == 's') {
      if (next < values.size()) {
        filled += values[next++];
      } else {
        filled += "%s";
      }
      i += 2;
      continue;
    }
    // "%<digits>$s"
    std::size_t end = i + 1;
    std::size_t position = 0;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9' && position <= values.size())
      position = position * 10 + static_cast<std::size_t>(text[end++] - '0');
    const bool positional =
        end > i + 1 && end + 1 < text.size() && text[end] == '$' && text[end + 1] == 's';
    if (positional && position >= 1 && position <= values.size()) {
      filled += values[position - 1];
      i = end + 2;
      continue;
    }
    filled += text[i++];
  }
  return filled;
}

}  // namespace stratovane
