// What the JSON reader throws for bytes that are not a JSON document.
#pragma once

#include <stdexcept>
#include <string>

namespace stratovane {

struct JSONParseError : std::runtime_error {
  explicit JSONParseError(const std::string& reason) : std::runtime_error(reason) {}
};

}  // namespace stratovane
