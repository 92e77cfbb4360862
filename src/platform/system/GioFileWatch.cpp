// Watches one file through a GIO monitor on its directory.
#include "platform/system/GioFileWatch.h"

#include <gio/gio.h>

#include <cstdio>
#include <utility>

#include "platform/system/FileAccess.h"
#include "platform/system/GuardedCall.h"

namespace stratovane {

namespace {
constexpr unsigned kDirectoryMode = 0700;  // as the settings store makes it
}  // namespace

struct GioFileWatch::Monitor {
  GFileMonitor* monitor = nullptr;
  std::string name;  // the watched file's name in the directory
  std::function<void()> changed;

  static void onEvent(GFileMonitor*, GFile* file, GFile*, GFileMonitorEvent event, gpointer data) {
    auto* self = static_cast<Monitor*>(data);
    if (event != G_FILE_MONITOR_EVENT_CHANGES_DONE_HINT || file == nullptr) return;
    char* name = g_file_get_basename(file);
    const bool ours = name != nullptr && self->name == name;
    g_free(name);
    if (ours) callGuarded(self->changed, "the settings file watch");
  }

  ~Monitor() {
    if (monitor == nullptr) return;
    g_signal_handlers_disconnect_by_data(monitor, this);
    g_file_monitor_cancel(monitor);
    g_object_unref(monitor);
  }
};

GioFileWatch::GioFileWatch() = default;
GioFileWatch::~GioFileWatch() = default;

bool GioFileWatch::watch(const std::filesystem::path& path, std::function<void()> changed) {
  monitor_.reset();
  if (path.empty() || !path.has_filename()) return false;
  const std::filesystem::path directory =
      path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
  // GIO notices a directory made later only seconds afterwards, missing what is written first.
  createDirectories(directory, kDirectoryMode);
  GFile* file = g_file_new_for_path(directory.c_str());
  GError* error = nullptr;
  GFileMonitor* monitor = g_file_monitor_directory(file, G_FILE_MONITOR_NONE, nullptr, &error);
  g_object_unref(file);
  if (monitor == nullptr) {
    std::fprintf(stderr, "stratovane: cannot watch %s for changes: %s\n", path.c_str(),
                 error != nullptr ? error->message : "no monitor");
    g_clear_error(&error);
    return false;
  }
  auto watched = std::make_unique<Monitor>();
  watched->monitor = monitor;
  watched->name = path.filename().string();
  watched->changed = std::move(changed);
  g_signal_connect(monitor, "changed", G_CALLBACK(Monitor::onEvent), watched.get());
  monitor_ = std::move(watched);
  return true;
}

}  // namespace stratovane
