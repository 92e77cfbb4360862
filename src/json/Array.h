// An ordered list of dynamic values, shared between copies until one of them changes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <utility>
#include <vector>

#include "json/PayloadReference.h"

namespace stratovane {

class Object;

namespace detail {
class ParsedDocument;
struct Node;
struct ArrayStorage;
struct PayloadAccess;
}  // namespace detail

// Copying is O(1). A list read from parsed bytes is a view into the parsed document; the first
// change copies one level of it (its elements stay shared).
class Array : private detail::PayloadReference<detail::ArrayStorage> {
 public:
  Array() noexcept = default;
  Array(std::initializer_list<Object> items);
  explicit Array(std::vector<Object> items);
  Array(const Array&) noexcept = default;
  Array(Array&&) noexcept = default;  // leaves the moved-from value empty
  Array& operator=(const Array&) noexcept = default;
  Array& operator=(Array&&) noexcept = default;
  ~Array() = default;

  std::size_t size() const noexcept;
  bool empty() const noexcept { return size() == 0; }
  // Precondition: position < size().
  Object operator[](std::size_t position) const noexcept;

  void push_back(Object item);
  // Precondition: position < size().
  void set(std::size_t position, Object item);

  class const_iterator {
   public:
    using iterator_category = std::input_iterator_tag;
    using value_type = Object;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = Object;

    const_iterator() noexcept = default;
    Object operator*() const noexcept;
    const_iterator& operator++() noexcept {
      ++position_;
      return *this;
    }
    const_iterator operator++(int) noexcept {
      const_iterator before = *this;
      ++position_;
      return before;
    }
    friend bool operator==(const const_iterator& a, const const_iterator& b) noexcept {
      return a.position_ == b.position_;
    }

   private:
    friend class Array;
    const_iterator(const Array* array, std::size_t position) noexcept
        : array_(array), position_(position) {}
    const Array* array_ = nullptr;
    std::size_t position_ = 0;
  };
  const_iterator begin() const noexcept { return {this, 0}; }
  const_iterator end() const noexcept { return {this, size()}; }

  // Element by element; see Object's equality.
  friend bool operator==(const Array& a, const Array& b) noexcept;

 private:
  friend struct detail::PayloadAccess;
  detail::ArrayStorage& ownStorage();
};

}  // namespace stratovane
