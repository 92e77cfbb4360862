// Internal access to the representation of payload containers.
#pragma once

#include <memory>

#include "json/Object.h"

namespace stratovane::detail {

struct PayloadAccess {
  template <class Container, class Document>
  static Container view(Document&& document, const Node* node) {
    Container container;
    container.ref_ = std::forward<Document>(document);
    container.node_ = node;
    return container;
  }
  // The parsed document a list or map views; null for owned or empty ones.
  template <class Container>
  static const ParsedDocument* document(const Container& c) noexcept {
    return c.document();
  }
  // What keeps the viewed document alive.
  template <class Container>
  static std::shared_ptr<const void>& reference(Container& c) noexcept {
    return c.ref_;
  }
  template <class Container>
  static const std::shared_ptr<const void>& reference(const Container& c) noexcept {
    return c.ref_;
  }
  template <class Container>
  static const Node* node(const Container& c) noexcept {
    return c.node_;
  }
  // After a step moved the document reference out of a list or map, leaves it empty.
  template <class Container>
  static void dropIfReleased(Container& c) noexcept {
    if (!c.ref_) c.node_ = nullptr;
  }
  // Turns a list or map into a view of a document node.
  template <class Container, class Document>
  static void setView(Container& c, Document&& document, const Node* node) noexcept {
    c.ref_ = std::forward<Document>(document);
    c.node_ = node;
  }
  // Moves out the owned container storage of a list or map, for freeing without recursion.
  static std::shared_ptr<const void> takeStorage(Object& object) noexcept {
    if (auto* array = std::get_if<Array>(&object.value_)) {
      if (!array->node_) return std::move(array->ref_);
    } else if (auto* map = std::get_if<Dictionary>(&object.value_)) {
      if (!map->node_) return std::move(map->ref_);
    }
    return nullptr;
  }
  // Whether two lists or maps are the very same payload, so equality need not look inside.
  template <class Container>
  static bool same(const Container& a, const Container& b) noexcept {
    return a.ref_ == b.ref_ && a.node_ == b.node_;
  }
};

}  // namespace stratovane::detail
