// The immutable tree of a parsed JSON document, shared by all values read from it.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
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

// One value of the document (16 bytes). The children of a container are contiguous and start
// `value` nodes after the container itself (so a view needs no pointer to the node array):
// element i of an array is children[i]; entry i of an object has its key at children[2i] and its
// value at children[2i + 1]. An object with more than ParsedDocument::indexedAbove entries has one
// more node, children[2 * size], whose `value` is the number of its hash index.
struct Node {
  enum class Kind : std::uint8_t { null, boolean, int64, uint64, float64, string, array, object };
  // No default member initialisers: documents are built in uninitialised storage.
  Kind kind;
  std::uint8_t head[3];  // a key's first bytes (zero-filled), so one compare rejects most keys
  std::uint32_t size;    // text length, element count or entry count
  std::uint64_t value;   // scalar bits, text offset, or distance to the first child
};

static_assert(sizeof(Node) == 16 && offsetof(Node, size) == 4, "header() reads 8 bytes");
static_assert(std::endian::native == std::endian::little, "keyHeader() packs little-endian");

class ParsedDocument {
 public:
  // Containers nested deeper than this are rejected.
  static constexpr std::uint32_t maxDepth = 1024;
  // Objects above this many keys get a hash index. Below it a scan of key headers (one compare
  // per key) costs less than hashing, both when building and when looking up.
  static constexpr std::uint32_t indexedAbove = 32;

  // Strict RFC 8259. Integers that fit 64 bits, signed or unsigned, stay integers; longer ones
  // become doubles; numbers beyond the range of double are rejected. Duplicate keys: the later
  // value wins, at the position of the first. Throws JSONParseError.
  static std::shared_ptr<const ParsedDocument> parse(std::string_view bytes);
  // The same; bytes held with spare capacity for simdjson's padding are read where they are.
  static std::shared_ptr<const ParsedDocument> parse(const std::string& bytes);

  // The value at a node as a dynamic value: scalars copied out, containers as views.
  // `document` holds a ParsedDocument.
  static Object objectAt(const std::shared_ptr<const void>& document, const Node* node);
  // The Number of a number node; none for other kinds (Booleans included).
  static std::optional<Number> numberAt(const Node& node) noexcept {
    switch (node.kind) {
      case Node::Kind::int64:
        return Number(static_cast<std::int64_t>(node.value));
      case Node::Kind::uint64:
        return Number(node.value);
      case Node::Kind::float64:
        return Number(std::bit_cast<double>(node.value));
      default:
        return std::nullopt;
    }
  }

  const Node* root() const noexcept { return nodes_.get(); }
  static const Node* children(const Node& container) noexcept {
    return &container + container.value;
  }

  // Kind, first bytes and length of a key node as one word.
  static std::uint64_t header(const Node& node) noexcept {
    std::uint64_t word;
    std::memcpy(&word, &node, sizeof word);
    return word;
  }
  // The header a key node has, built in registers (byte stores read back as one word would
  // stall the pipeline).
  static std::uint64_t keyHeader(std::string_view key) noexcept {
    std::uint32_t head = 0;
    if (key.size() >= 4) {
      std::memcpy(&head, key.data(), 4);
      head &= 0xFFFFFF;
    } else {
      for (std::size_t i = 0; i < key.size(); ++i) {
        head |= static_cast<std::uint32_t>(static_cast<unsigned char>(key[i])) << (8 * i);
      }
    }
    return static_cast<std::uint64_t>(Node::Kind::string) | (std::uint64_t{head} << 8) |
           (std::uint64_t{static_cast<std::uint32_t>(key.size())} << 32);
  }
  std::string_view text(const Node& node) const noexcept {
    return {strings_.get() + node.value, node.size};
  }
  std::string_view keyAt(const Node& object, std::uint32_t position) const noexcept {
    return text(children(object)[2 * position]);
  }
  // The position of the key, or KeyIndex::notFound.
  std::uint32_t find(const Node& object, std::string_view key) const noexcept {
    const Node* keys = children(object);
    const std::uint64_t probe = keyHeader(key);
    // The header holds length and first three bytes; only longer keys need their rest compared,
    // up to seven bytes as one word ending where the key ends.
    const auto matches = [&](std::uint32_t p) {
      if (header(keys[2 * p]) != probe) return false;
      if (key.size() <= 3) return true;
      const char* text = strings_.get() + keys[2 * p].value;
      if (key.size() <= 7) return lastWord(text, key.size()) == lastWord(key.data(), key.size());
      return sameText(text + 3, key.substr(3));
    };
    // The objects of one array mostly share their key order, and readers ask for the same keys
    // from each: try where this key was found last. Only a full match is taken, so a stale or
    // colliding entry costs one comparison. Even in small objects this beats a scan, whose exit
    // the processor cannot predict.
    struct Hint {
      const char* data;
      std::size_t size;
      std::uint32_t position;
    };
    thread_local Hint hints[64] = {};
    Hint& hint = hints[(reinterpret_cast<std::uintptr_t>(key.data()) >> 3) & 63];
    if (hint.data == key.data() && hint.size == key.size() && hint.position < object.size &&
        matches(hint.position)) {
      return hint.position;
    }
    std::uint32_t found = KeyIndex::notFound;
    if (object.size > indexedAbove) {
      const KeyIndex& index = indexes_[keys[2 * object.size].value];
      found = index.find(key, [&](std::uint32_t p) { return keyAt(object, p); });
    } else {
      for (std::uint32_t p = 0; p < object.size; ++p) {
        if (matches(p)) {
          found = p;
          break;
        }
      }
    }
    if (found != KeyIndex::notFound) hint = {key.data(), key.size(), found};
    return found;
  }

 private:
  class Builder;
  // `padded`: SIMDJSON_PADDING bytes past the end may be read.
  static std::shared_ptr<const ParsedDocument> parseDocument(std::string_view bytes, bool padded);

  // The last four bytes of a text of at least four.
  static std::uint32_t lastWord(const char* text, std::size_t size) noexcept {
    std::uint32_t word;
    std::memcpy(&word, text + size - 4, sizeof word);
    return word;
  }

  // Keys are short: word compares (overlapping at the end, never past either text) beat a call
  // to memcmp.
  static bool sameText(const char* text, std::string_view key) noexcept {
    const char* other = key.data();
    const std::size_t n = key.size();
    const auto same8 = [&](std::size_t i) {
      std::uint64_t x, y;
      std::memcpy(&x, text + i, 8);
      std::memcpy(&y, other + i, 8);
      return x == y;
    };
    const auto same4 = [&](std::size_t i) {
      std::uint32_t x, y;
      std::memcpy(&x, text + i, 4);
      std::memcpy(&y, other + i, 4);
      return x == y;
    };
    if (n >= 8) {
      for (std::size_t i = 0; i + 8 < n; i += 8) {
        if (!same8(i)) return false;
      }
      return same8(n - 8);
    }
    if (n >= 4) return same4(0) && same4(n - 4);
    for (std::size_t i = 0; i < n; ++i) {
      if (text[i] != other[i]) return false;
    }
    return true;
  }

  // Sized exactly once built; the builder works in reusable per-thread buffers.
  std::unique_ptr<Node[]> nodes_;
  std::unique_ptr<char[]> strings_;
  std::vector<KeyIndex> indexes_;
};

}  // namespace stratovane::detail
