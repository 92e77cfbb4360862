// What a list or a map payload holds: a view into a parsed document, or storage of its own.
#pragma once

#include <memory>
#include <utility>

namespace stratovane::detail {

class ParsedDocument;
struct Node;

// One reference for both forms keeps every JSON value small: a parsed document with node_
// pointing at the viewed node, or, when node_ is null, the owned storage (empty when null).
template <class Storage>
class PayloadReference {
 protected:
  PayloadReference() noexcept = default;
  PayloadReference(const PayloadReference&) noexcept = default;
  // A moved-from value is empty: it must not keep pointing into a document it no longer holds.
  PayloadReference(PayloadReference&& other) noexcept
      : ref_(std::move(other.ref_)), node_(std::exchange(other.node_, nullptr)) {}
  PayloadReference& operator=(const PayloadReference&) noexcept = default;
  PayloadReference& operator=(PayloadReference&& other) noexcept {
    ref_ = std::move(other.ref_);
    node_ = std::exchange(other.node_, nullptr);
    return *this;
  }
  ~PayloadReference() = default;

  const ParsedDocument* document() const noexcept {
    return node_ ? static_cast<const ParsedDocument*>(ref_.get()) : nullptr;
  }
  Storage* storage() const noexcept {
    return node_ ? nullptr : static_cast<Storage*>(const_cast<void*>(ref_.get()));
  }

  std::shared_ptr<const void> ref_;
  const Node* node_ = nullptr;
};

}  // namespace stratovane::detail
