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

Array::Array() noexcept = default;
Array::Array(std::initializer_list<Object> items) : Array(std::vector<Object>(items)) {}
Array::Array(std::vector<Object> items)
    : storage_(std::make_shared<detail::ArrayStorage>(detail::ArrayStorage{std::move(items)})) {}
Array::Array(const Array&) noexcept = default;
Array::Array(Array&&) noexcept = default;
Array& Array::operator=(const Array&) noexcept = default;
Array& Array::operator=(Array&&) noexcept = default;
Array::~Array() = default;

std::size_t Array::size() const noexcept {
  if (storage_) return storage_->items.size();
  if (document_) return document_->node(node_).size;
  return 0;
}

Object Array::operator[](std::size_t position) const noexcept {
  if (storage_) return storage_->items[position];
  const detail::Node& array = document_->node(node_);
  return detail::ParsedDocument::objectAt(document_,
                                          static_cast<std::uint32_t>(array.value + position));
}

detail::ArrayStorage& Array::ownStorage() {
  if (!storage_) {
    std::vector<Object> items;
    items.reserve(size());
    for (std::size_t i = 0; i < size(); ++i) items.push_back((*this)[i]);
    storage_ = std::make_shared<detail::ArrayStorage>(detail::ArrayStorage{std::move(items)});
    document_.reset();
  } else if (storage_.use_count() > 1) {
    storage_ = std::make_shared<detail::ArrayStorage>(detail::ArrayStorage{storage_->items});
  }
  return *storage_;
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
