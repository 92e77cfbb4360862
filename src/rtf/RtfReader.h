// Reads an RTF document into attributed text.
#pragma once

#include <optional>
#include <string_view>

#include "rtf/AttributedString.h"

namespace stratovane {

// The text of an RTF document with bold, italic, underline, strike-through, colour, size and
// super/subscript runs and paragraph alignment; none when the data is not an RTF document (it does
// not start with
// "{\rtf"). Damaged documents give what could be read before the damage.
std::optional<AttributedString> readRTF(std::string_view data);

}  // namespace stratovane
