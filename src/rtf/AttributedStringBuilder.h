// Collects text pieces with their attributes into an attributed string.
#pragma once

#include <string_view>

#include "rtf/AttributedString.h"

namespace stratovane {

class AttributedStringBuilder {
 public:
  // `utf8` is whole characters. Neighbouring pieces with equal attributes share one run.
  void append(std::string_view utf8, const TextAttributes& attributes);
  AttributedString take() { return std::move(result_); }

 private:
  AttributedString result_;
};

}  // namespace stratovane
