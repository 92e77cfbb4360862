// Watches one file through inotify on its directory.
#pragma once

#include <glib.h>

#include <filesystem>
#include <functional>
#include <string>

#include "platform/system/FileDescriptor.h"
#include "platform/system/GSourcePtr.h"

namespace stratovane {

// The directory is watched rather than the file, so that a file renamed into place by another
// writer (a new inode) is seen like one written in place. Only finished writes count: a file
// closed after writing, or one renamed into the directory; never a file still half written. A
// missing directory is made (mode 0700), so that the watch holds from the start. Must be created
// and destroyed on the main thread.
class InotifyFileWatch final {
 public:
  InotifyFileWatch() = default;
  ~InotifyFileWatch();
  InotifyFileWatch(const InotifyFileWatch&) = delete;
  InotifyFileWatch& operator=(const InotifyFileWatch&) = delete;

  // From now on calls `changed` on the main thread each time a writer has finished with the
  // file at `path`: written and closed, created, or renamed into place. Deletion is no change.
  // The file and its directory need not exist yet. Replaces an earlier watch; false when the
  // file cannot be watched.
  bool watch(const std::filesystem::path& path, std::function<void()> changed);

 private:
  static gboolean onReadable(gint fd, GIOCondition condition, gpointer data);
  void stop();

  FileDescriptor inotify_;
  AttachedSource source_;
  std::string name_;  // the watched file's name in the directory
  std::function<void()> changed_;
};

}  // namespace stratovane
