// The kind of a JSON value.
#pragma once

#include <cstdint>
#include <optional>

namespace stratovane {

// Raw values are fixed: they are stored and compared as integers.
// `bool` is a keyword, so that case is spelled `bool_`.
enum class Type {
  number = 0,
  string = 1,
  bool_ = 2,
  array = 3,
  dictionary = 4,
  null = 5,
  unknown = 6
};

// Accepts 0 to 6; any other integer names no kind.
std::optional<Type> typeFromRawValue(int rawValue) noexcept;

constexpr int rawValue(Type type) noexcept {
  return static_cast<int>(type);
}

}  // namespace stratovane
