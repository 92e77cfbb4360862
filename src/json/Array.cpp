// Lists: parsed views, owned storage and copy on write.
#include "json/Array.h"

#include "json/ArrayStorage.h"
#include "json/ParsedDocument.h"
#include "json/PayloadAccess.h"
#include "json/ReleaseQueue.h"

namespace stratovane {

namespace detail {

ArrayStorage::~ArrayStorage() {
  for (Object& item : items) releaseLater(PayloadAccess::takeStorage(item));
}

}  // namespace detail

Array::Array(std::initializer_list<Object> items) : Array(std::vector<Object>(items)) {}
Array::Array(std::vector<Object> items) {
  ref_ = std::make_shared<detail::ArrayStorage>(detail::ArrayStorage{std::move(items)});
}

std::size_t Array::size() const noexcept {
  if (node_) return node_->size;
  if (const auto* own = storage()) return own->items.size();
  return 0;
}

Object Array::operator[](std::size_t position) const noexcept {
  if (const auto* own = storage()) return own->items[position];
  return detail::ParsedDocument::objectAt(ref_,
                                          detail::ParsedDocument::children(*node_) + position);
}

detail::ArrayStorage& Array::ownStorage() {
  if (node_ || !ref_) {
    std::vector<Object> items;
    items.reserve(size());
    for (std::size_t i = 0; i < size(); ++i) items.push_back((*this)[i]);
    ref_ = std::make_shared<detail::ArrayStorage>(detail::ArrayStorage{std::move(items)});
    node_ = nullptr;
  } else if (ref_.use_count() > 1) {
    ref_ = std::make_shared<detail::ArrayStorage>(detail::ArrayStorage{storage()->items});
  }
  return *storage();
}

void Array::push_back(Object item) {
  ownStorage().items.push_back(std::move(item));
}

void Array::set(std::size_t position, Object item) {
  ownStorage().items[position] = std::move(item);
}

Object Array::const_iterator::operator*() const noexcept {
  return (*array_)[position_];
}

bool operator==(const Array& a, const Array& b) noexcept {
  return Object(a) == Object(b);
}

}  // namespace stratovane
