// Maps: parsed views, owned storage with an index for large maps, and copy on write.
#include "json/Dictionary.h"

#include "json/DictionaryStorage.h"
#include "json/ParsedDocument.h"
#include "json/PayloadAccess.h"
#include "json/ReleaseQueue.h"

namespace stratovane {

namespace detail {

std::uint32_t DictionaryStorage::find(std::string_view key) const noexcept {
  if (!index.empty()) {
    return index.find(key, [this](std::uint32_t p) { return std::string_view(entries[p].first); });
  }
  for (std::uint32_t p = 0; p < entries.size(); ++p) {
    if (entries[p].first == key) return p;
  }
  return KeyIndex::notFound;
}

void DictionaryStorage::set(std::string_view key, Object value) {
  if (const std::uint32_t position = find(key); position != KeyIndex::notFound) {
    entries[position].second = std::move(value);
    return;
  }
  entries.emplace_back(std::string(key), std::move(value));
  const auto keyAt = [this](std::uint32_t p) { return std::string_view(entries[p].first); };
  const auto last = static_cast<std::uint32_t>(entries.size() - 1);
  if (!index.empty()) {
    index.insert(last, keyAt);
  } else if (entries.size() > KeyIndex::threshold) {
    index.reset(entries.size());
    for (std::uint32_t p = 0; p <= last; ++p) index.insert(p, keyAt);
  }
}

DictionaryStorage::~DictionaryStorage() {
  for (auto& entry : entries) releaseLater(PayloadAccess::takeStorage(entry.second));
}

}  // namespace detail

Dictionary::Dictionary(std::initializer_list<std::pair<std::string, Object>> entries) {
  if (entries.size() == 0) return;
  auto& storage = ownStorage();
  storage.entries.reserve(entries.size());
  for (const auto& [key, value] : entries) storage.set(key, value);
}

std::size_t Dictionary::size() const noexcept {
  if (node_) return node_->size;
  if (const auto* own = storage()) return own->entries.size();
  return 0;
}

std::optional<std::size_t> Dictionary::position(std::string_view key) const noexcept {
  std::uint32_t found = detail::KeyIndex::notFound;
  if (const auto* parsed = document()) {
    found = parsed->find(*node_, key);
  } else if (const auto* own = storage()) {
    found = own->find(key);
  }
  if (found == detail::KeyIndex::notFound) return std::nullopt;
  return found;
}

std::optional<Object> Dictionary::find(std::string_view key) const noexcept {
  auto found = position(key);
  if (!found) return std::nullopt;
  return valueAt(*found);
}

std::string_view Dictionary::keyAt(std::size_t position) const noexcept {
  if (const auto* own = storage()) return own->entries[position].first;
  return document()->keyAt(*node_, static_cast<std::uint32_t>(position));
}

Object Dictionary::valueAt(std::size_t position) const noexcept {
  if (const auto* own = storage()) return own->entries[position].second;
  return detail::ParsedDocument::objectAt(
      ref_, detail::ParsedDocument::children(*node_) + 2 * position + 1);
}

detail::DictionaryStorage& Dictionary::ownStorage() {
  if (node_ || !ref_) {
    auto storage = std::make_shared<detail::DictionaryStorage>();
    const std::size_t count = size();
    storage->entries.reserve(count);
    for (std::size_t p = 0; p < count; ++p) {
      storage->entries.emplace_back(std::string(keyAt(p)), valueAt(p));
    }
    if (count > detail::KeyIndex::threshold) {
      storage->index.reset(count);
      const auto keyAt = [&](std::uint32_t p) {
        return std::string_view(storage->entries[p].first);
      };
      for (std::uint32_t p = 0; p < count; ++p) storage->index.insert(p, keyAt);
    }
    ref_ = std::move(storage);
    node_ = nullptr;
  } else if (ref_.use_count() > 1) {
    auto copy = std::make_shared<detail::DictionaryStorage>();
    copy->entries = storage()->entries;
    copy->index = storage()->index;
    ref_ = std::move(copy);
  }
  return *storage();
}

void Dictionary::set(std::string_view key, Object value) {
  ownStorage().set(key, std::move(value));
}

bool operator==(const Dictionary& a, const Dictionary& b) noexcept {
  return Object(a) == Object(b);
}

}  // namespace stratovane
