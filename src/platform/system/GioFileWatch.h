// Watches one file through a GIO monitor on its directory.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "platform/FileWatch.h"

namespace stratovane {

// The directory is watched rather than the file, so that a file renamed into place by another
// writer (a new inode) is seen like one written in place. Only the monitor's changes-done event
// counts: it comes once the writer has closed the file, or once a created or renamed file is
// complete, never while it is half written. A missing directory is made (mode 0700), so that the
// watch holds from the start. Must be created and destroyed on the main thread.
class GioFileWatch final : public FileWatch {
 public:
  GioFileWatch();
  ~GioFileWatch() override;
  GioFileWatch(const GioFileWatch&) = delete;
  GioFileWatch& operator=(const GioFileWatch&) = delete;

  bool watch(const std::filesystem::path& path, std::function<void()> changed) override;

 private:
  struct Monitor;
  std::unique_ptr<Monitor> monitor_;
};

}  // namespace stratovane
