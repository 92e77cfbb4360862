// Writes dynamic values as standard JSON text.
#pragma once

#include <optional>
#include <string>

#include "json/Object.h"
#include "json/WritingOptions.h"

namespace stratovane::detail {

// Containers nested deeper than this are not written.
inline constexpr std::size_t maxWriteDepth = 1024;

// Nothing when the value holds something JSON cannot express: a non-finite number, text that is
// not UTF-8, bytes, an empty optional, another object, or nesting beyond maxWriteDepth.
std::optional<std::string> writeJSON(const Object& value, WritingOptions options);

}  // namespace stratovane::detail
