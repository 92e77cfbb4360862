// The owned representation of a map with text keys.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "json/KeyIndex.h"
#include "json/Object.h"

namespace stratovane::detail {

struct DictionaryStorage {
  std::vector<std::pair<std::string, Object>> entries;
  KeyIndex index;  // in use above KeyIndex::threshold entries

  // The position of the key, or KeyIndex::notFound.
  std::uint32_t find(std::string_view key) const noexcept;
  void set(std::string_view key, Object value);
  ~DictionaryStorage();
};

}  // namespace stratovane::detail
