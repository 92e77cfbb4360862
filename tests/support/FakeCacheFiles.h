// Cache files in memory, with a size limit that reads honour like the real folder's.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/CacheFiles.h"

namespace stratovane::testing {

class FakeCacheFiles : public CacheFiles {
 public:
  std::optional<std::string> read(std::string_view name, std::size_t maximumSize) const override {
    const auto file = files.find(std::string(name));
    if (file == files.end() || file->second.size() > maximumSize) return std::nullopt;
    return file->second;
  }
  bool write(std::string_view name, std::string_view contents) override {
    if (!writable) return false;
    files[std::string(name)] = contents;
    return true;
  }
  void remove(std::string_view name) override { files.erase(std::string(name)); }

  std::map<std::string, std::string> files;
  bool writable = true;
};

}  // namespace stratovane::testing
