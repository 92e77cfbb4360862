// Options of the JSON writer.
#pragma once

namespace stratovane {

// A set of writer options; combine with `|`. `WritingOptions{}` is the empty set (compact text).
enum class WritingOptions : unsigned {
  none = 0,
  prettyPrinted = 1,  // newlines and two-space indents, `"key" : value`
  sortedKeys = 2,     // dictionary keys in byte order instead of insertion order
};

constexpr WritingOptions operator|(WritingOptions a, WritingOptions b) noexcept {
  return static_cast<WritingOptions>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}

constexpr bool contains(WritingOptions set, WritingOptions option) noexcept {
  return (static_cast<unsigned>(set) & static_cast<unsigned>(option)) != 0;
}

}  // namespace stratovane
