// Collects text pieces with their attributes into an attributed string.
#include "rtf/AttributedStringBuilder.h"

namespace stratovane {

void AttributedStringBuilder::append(std::string_view utf8, const TextAttributes& attributes) {
  if (utf8.empty()) return;
  const std::size_t start = result_.string.size();
  result_.string += utf8;
  if (attributes == TextAttributes{}) return;
  auto& runs = result_.runs;
  if (!runs.empty() && runs.back().start + runs.back().length == start &&
      runs.back().attributes == attributes) {
    runs.back().length += utf8.size();
  } else {
    runs.push_back({start, utf8.size(), attributes});
  }
}

}  // namespace stratovane
