// UTF-8 validation through simdjson's vectorised validator.
#include "json/Utf8.h"

#include <simdjson.h>

namespace stratovane::detail {

bool isValidUTF8(std::string_view text) noexcept {
  return simdjson::validate_utf8(text.data(), text.size());
}

}  // namespace stratovane::detail
