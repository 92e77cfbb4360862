// The application's folder in the user's XDG cache home.
#pragma once

#include <atomic>
#include <cstdio>
#include <filesystem>

#include "platform/CacheFiles.h"

namespace stratovane {

// Files are written to a temporary name and renamed into place (mode 0600, the folder made with
// 0700), and never read through a link. The first write that fails says so on `errors`, once
// for the whole run; the program goes on without its files.
class XdgCacheFiles final : public CacheFiles {
 public:
  // $XDG_CACHE_HOME/stratovane, or ~/.cache/stratovane when it is unset or not absolute.
  static std::filesystem::path defaultFolder();
  static std::filesystem::path defaultFolder(const char* cacheHome, const char* home);

  explicit XdgCacheFiles(std::filesystem::path folder, std::FILE* errors = stderr)
      : folder_(std::move(folder)), errors_(errors) {}

  std::optional<std::string> read(std::string_view name, std::size_t maximumSize) const override;
  bool write(std::string_view name, std::string_view contents) override;
  void remove(std::string_view name) override;

 private:
  bool failed(int error);

  const std::filesystem::path folder_;
  std::FILE* errors_;
  std::atomic<bool> reported_ = false;
};

}  // namespace stratovane
