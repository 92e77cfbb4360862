// Watching a file for changes that other writers have finished.
#pragma once

#include <filesystem>
#include <functional>

namespace stratovane {

class FileWatch {
 public:
  virtual ~FileWatch() = default;

  // From now on calls `changed` on the main thread each time a writer has finished with the
  // file at `path`: written and closed, created, or renamed into place. Deletion is no change.
  // The file and its directory need not exist yet. Replaces an earlier watch; false when the
  // file cannot be watched.
  virtual bool watch(const std::filesystem::path& path, std::function<void()> changed) = 0;
};

}  // namespace stratovane
