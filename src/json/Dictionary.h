// A map from text keys to dynamic values that keeps insertion order and is copied on write.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "json/PayloadReference.h"

namespace stratovane {

class Object;

namespace detail {
class ParsedDocument;
struct Node;
struct DictionaryStorage;
struct PayloadAccess;
}  // namespace detail

// Keys are unique; positions 0 to size()-1 follow insertion order (document order when parsed).
// Replacing the value of a present key keeps its position. Lookups by key cost O(1) on average:
// dictionaries of more than 16 entries carry a hash index. Copying is O(1); a dictionary read from
// parsed bytes is a view, and the first change copies one level of it.
class Dictionary : private detail::PayloadReference<detail::DictionaryStorage> {
 public:
  Dictionary() noexcept = default;
  // Pairs are inserted in order: a later pair replaces an earlier one with the same key.
  Dictionary(std::initializer_list<std::pair<std::string, Object>> entries);
  Dictionary(const Dictionary&) noexcept = default;
  Dictionary(Dictionary&&) noexcept = default;  // leaves the moved-from value empty
  Dictionary& operator=(const Dictionary&) noexcept = default;
  Dictionary& operator=(Dictionary&&) noexcept = default;
  ~Dictionary() = default;

  std::size_t size() const noexcept;
  bool empty() const noexcept { return size() == 0; }
  std::optional<std::size_t> position(std::string_view key) const noexcept;
  bool contains(std::string_view key) const noexcept { return position(key).has_value(); }
  std::optional<Object> find(std::string_view key) const noexcept;

  // Preconditions: position < size(). The key stays valid until this dictionary changes.
  std::string_view keyAt(std::size_t position) const noexcept;
  Object valueAt(std::size_t position) const noexcept;

  // Adds the key at the end, or replaces the value of a present key in place.
  void set(std::string_view key, Object value);

  // Same keys with equal values; order is ignored. See Object's equality.
  friend bool operator==(const Dictionary& a, const Dictionary& b) noexcept;

 private:
  friend struct detail::PayloadAccess;
  detail::DictionaryStorage& ownStorage();
};

}  // namespace stratovane
