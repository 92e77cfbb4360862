// Turning the bytes of a downloaded text into UTF-8 by the charset its server names.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace stratovane {

// The "charset" parameter of a Content-Type value, unquoted; empty when there is none.
std::string charsetOf(std::string_view contentType);

// The charset that the Content-Type names; without one, UTF-8 when the bytes are valid UTF-8,
// else ISO-8859-1. None when the named charset is unknown or the bytes are not valid in it.
// Nothing else changes: white space and byte order marks stay.
std::optional<std::string> decodeText(std::string_view bytes, std::string_view contentType);

}  // namespace stratovane
