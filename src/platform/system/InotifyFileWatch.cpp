// Watches one file through inotify on its directory.
#include "platform/system/InotifyFileWatch.h"

#include <glib-unix.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "platform/Translation.h"
#include "platform/system/FileAccess.h"
#include "platform/system/GuardedCall.h"

namespace stratovane {

namespace {
constexpr unsigned kDirectoryMode = 0700;  // as the settings store makes it
}  // namespace

InotifyFileWatch::~InotifyFileWatch() {
  stop();
}

void InotifyFileWatch::stop() {
  source_.reset();
  inotify_ = FileDescriptor();
}

bool InotifyFileWatch::watch(const std::filesystem::path& path, std::function<void()> changed) {
  stop();
  if (path.empty() || !path.has_filename()) return false;
  const std::filesystem::path directory =
      path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
  createDirectories(directory, kDirectoryMode);
  FileDescriptor inotify(inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
  if (!inotify ||
      inotify_add_watch(inotify.get(), directory.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO) < 0) {
    std::fprintf(stderr, tr("stratovane: cannot watch %s for changes: %s\n"), path.c_str(),
                 std::strerror(errno));
    return false;
  }
  inotify_ = std::move(inotify);
  name_ = path.filename().string();
  changed_ = std::move(changed);
  source_ = attachSource(g_unix_fd_source_new(inotify_.get(), G_IO_IN),
                         G_SOURCE_FUNC(&InotifyFileWatch::onReadable), this);
  return true;
}

gboolean InotifyFileWatch::onReadable(gint fd, GIOCondition, gpointer data) {
  auto* self = static_cast<InotifyFileWatch*>(data);
  alignas(inotify_event) char buffer[16 * (sizeof(inotify_event) + NAME_MAX + 1)];
  bool ours = false;
  for (ssize_t length; (length = read(fd, buffer, sizeof buffer)) > 0;) {
    for (ssize_t offset = 0; offset < length;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
      // The kernel pads names with NULs; an overflow of its queue may have hidden ours.
      if ((event->mask & IN_Q_OVERFLOW) != 0 || (event->len > 0 && self->name_ == event->name))
        ours = true;
      offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
  // One call for a burst: the reader reads the whole file anyway.
  if (ours) callGuarded(self->changed_, trLater("the settings file watch"));
  return G_SOURCE_CONTINUE;
}

}  // namespace stratovane
