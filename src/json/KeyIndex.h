// Open-addressing hash index from dictionary keys to entry positions.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace stratovane::detail {

// Keys themselves live in the dictionary; the index only keeps positions, so `keyAt(position)`
// must give the key stored at a position. Used for dictionaries above `threshold` entries, where
// a linear scan would make a key lookup cost more than a constant.
class KeyIndex {
 public:
  static constexpr std::size_t threshold = 16;
  // What find() gives for a missing key. A plain index, not std::optional: an optional returned
  // from an out-of-line call is stored in two parts and read back whole, which stalls.
  static constexpr std::uint32_t notFound = 0xFFFFFFFF;

  bool empty() const noexcept { return slots_.empty(); }
  void clear() noexcept { slots_.clear(); }

  // Prepares room for `count` keys; existing positions are dropped.
  void reset(std::size_t count) {
    std::size_t size = 8;
    while (size < count * 2) size *= 2;
    slots_.assign(size, 0);
  }

  template <class KeyAt>
  std::uint32_t find(std::string_view key, const KeyAt& keyAt) const noexcept {
    if (slots_.empty()) return notFound;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = hash(key) & mask;; slot = (slot + 1) & mask) {
      const std::uint32_t stored = slots_[slot];
      if (stored == 0) return notFound;
      if (keyAt(stored - 1) == key) return stored - 1;
    }
  }

  // The key at `position` must not be in the index yet; grows when half full.
  template <class KeyAt>
  void insert(std::uint32_t position, const KeyAt& keyAt) {
    if ((position + 1) * 2 > slots_.size()) {
      const std::size_t count = position + 1;
      reset(count * 2);
      for (std::uint32_t p = 0; p < position; ++p) place(p, keyAt(p));
    }
    place(position, keyAt(position));
  }

 private:
  static std::size_t hash(std::string_view key) noexcept {
    return std::hash<std::string_view>{}(key);
  }
  void place(std::uint32_t position, std::string_view key) noexcept {
    const std::size_t mask = slots_.size() - 1;
    std::size_t slot = hash(key) & mask;
    while (slots_[slot] != 0) slot = (slot + 1) & mask;
    slots_[slot] = position + 1;
  }

  std::vector<std::uint32_t> slots_;
};

}  // namespace stratovane::detail
