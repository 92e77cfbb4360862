// Internal access to the representation of payload containers.
#pragma once

#include <memory>

#include "json/Object.h"

namespace stratovane::detail {

struct PayloadAccess {
  static Array arrayView(std::shared_ptr<const ParsedDocument> document, std::uint32_t node) {
    Array array;
    array.document_ = std::move(document);
    array.node_ = node;
    return array;
  }
  static Dictionary dictionaryView(std::shared_ptr<const ParsedDocument> document,
                                   std::uint32_t node) {
    Dictionary dictionary;
    dictionary.document_ = std::move(document);
    dictionary.node_ = node;
    return dictionary;
  }
  // Moves out the owned container storage of a list or map, for freeing without recursion.
  static std::shared_ptr<void> takeStorage(Object& object) noexcept {
    if (auto* array = std::get_if<Array>(&object.value_)) return std::move(array->storage_);
    if (auto* map = std::get_if<Dictionary>(&object.value_)) return std::move(map->storage_);
    return nullptr;
  }
  // Whether two lists or maps are the very same payload, so equality need not look inside.
  static bool same(const Array& a, const Array& b) noexcept {
    return a.storage_ == b.storage_ && a.document_ == b.document_ && a.node_ == b.node_;
  }
  static bool same(const Dictionary& a, const Dictionary& b) noexcept {
    return a.storage_ == b.storage_ && a.document_ == b.document_ && a.node_ == b.node_;
  }
};

}  // namespace stratovane::detail
