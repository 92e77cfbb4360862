// A temporary directory for one test, removed with everything in it at the end.
#pragma once

#include <filesystem>

namespace stratovane::testing {

class TempDir {
 public:
  // Created under $TMPDIR (else /tmp) with mode 0700; throws when it cannot be made.
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

}  // namespace stratovane::testing
