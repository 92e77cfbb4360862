// The immutable tree of a parsed JSON document, shared by all values read from it.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "json/KeyIndex.h"
#include "json/Object.h"

namespace stratovane::detail {

// One value of the document. The children of a container are contiguous: element i of an array
// is node `value + i`; entry i of an object has its key at `value + 2i` and its value at
// `value + 2i + 1`. An object with more than KeyIndex::threshold entries has one more node at
// `value + 2 * size` whose `value` is the number of its hash index.
struct Node {
  enum class Kind : std::uint8_t { null, boolean, int64, uint64, float64, string, array, object };
  Kind kind = Kind::null;
  std::uint32_t size = 0;   // text length, element count or entry count
  std::uint64_t value = 0;  // scalar bits, text offset or first child
};

class ParsedDocument {
 public:
  // Containers nested deeper than this are rejected.
  static constexpr std::uint32_t maxDepth = 1024;

  // Strict RFC 8259. Integers that fit 64 bits, signed or unsigned, stay integers; longer ones
  // become doubles; numbers beyond the range of double are rejected. Duplicate keys: the later
  // value wins, at the position of the first. Throws JSONParseError.
  static std::shared_ptr<const ParsedDocument> parse(std::string_view bytes);

  // The value at a node as a dynamic value: scalars copied out, containers as views.
  static Object objectAt(const std::shared_ptr<const ParsedDocument>& document, std::uint32_t node);

  const Node& node(std::uint32_t index) const noexcept { return nodes_[index]; }
  std::string_view text(const Node& node) const noexcept {
    return {strings_.data() + node.value, node.size};
  }
  std::string_view keyAt(const Node& object, std::uint32_t position) const noexcept {
    return text(nodes_[object.value + 2 * position]);
  }
  std::optional<std::uint32_t> find(const Node& object, std::string_view key) const noexcept {
    if (object.size > KeyIndex::threshold) {
      const KeyIndex& index = indexes_[nodes_[object.value + 2 * object.size].value];
      return index.find(key, [&](std::uint32_t p) { return keyAt(object, p); });
    }
    for (std::uint32_t p = 0; p < object.size; ++p) {
      const Node& candidate = nodes_[object.value + 2 * p];
      if (candidate.size == key.size() &&
          std::memcmp(strings_.data() + candidate.value, key.data(), key.size()) == 0) {
        return p;
      }
    }
    return std::nullopt;
  }

 private:
  class Builder;
  std::vector<Node> nodes_;
  std::string strings_;
  std::vector<KeyIndex> indexes_;
};

}  // namespace stratovane::detail
