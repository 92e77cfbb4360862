// UTF-8 validation shared by the accessors and the writer.
#pragma once

#include <string_view>

namespace stratovane::detail {

// Well-formed UTF-8 only: no overlong forms, surrogates or values above U+10FFFF.
bool isValidUTF8(std::string_view text) noexcept;

}  // namespace stratovane::detail
