// Follows which program owns the StatusNotifier watcher and tells how its host draws items.
#include "platform/system/PanelHostWatch.h"

#include <filesystem>
#include <fstream>
#include <string_view>
#include <utility>

#include "platform/system/GuardedCall.h"

namespace stratovane {

namespace {

constexpr const char* kWatcher = "org.kde.StatusNotifierWatcher";

}  // namespace

PanelHostWatch::PanelHostWatch(GDBusConnection* bus, std::function<void(PanelLook)> onLook,
                               ProgramOf programOf)
    : bus_(bus != nullptr ? G_DBUS_CONNECTION(g_object_ref(bus)) : nullptr),
      onLook_(std::move(onLook)),
      programOf_(std::move(programOf)) {
  if (bus_ == nullptr) {
    busless_ = attachSource(
        g_idle_source_new(),
        [](gpointer self) -> gboolean {
          static_cast<PanelHostWatch*>(self)->tell(PanelLook::iconOnly);
          return G_SOURCE_REMOVE;
        },
        this);
    return;
  }
  watch_ = g_bus_watch_name_on_connection(bus_, kWatcher, G_BUS_NAME_WATCHER_FLAGS_NONE,
                                          &PanelHostWatch::onAppeared, &PanelHostWatch::onVanished,
                                          this, nullptr);
}

PanelHostWatch::~PanelHostWatch() {
  if (pending_ != nullptr) {
    g_cancellable_cancel(pending_);
    g_object_unref(pending_);
  }
  if (watch_ != 0) g_bus_unwatch_name(watch_);
  if (bus_ != nullptr) g_object_unref(bus_);
}

std::string PanelHostWatch::programOfProcess(unsigned pid) {
  const std::filesystem::path process = "/proc/" + std::to_string(pid);
  std::error_code error;
  std::string program = std::filesystem::read_symlink(process / "exe", error).filename().string();
  // A program replaced by an update while it runs.
  constexpr std::string_view kDeleted = " (deleted)";
  if (program.ends_with(kDeleted)) program.resize(program.size() - kDeleted.size());
  if (!error && !program.empty()) return program;
  // Processes of other users hide their executable but not their short name.
  std::ifstream comm(process / "comm");
  std::getline(comm, program);
  return comm ? program : std::string();
}

void PanelHostWatch::onAppeared(GDBusConnection*, const gchar*, const gchar* owner, gpointer self) {
  static_cast<PanelHostWatch*>(self)->ownerChanged(owner);
}

void PanelHostWatch::onVanished(GDBusConnection*, const gchar*, gpointer self) {
  static_cast<PanelHostWatch*>(self)->ownerChanged(nullptr);
}

void PanelHostWatch::ownerChanged(const gchar* owner) {
  if (pending_ != nullptr) {
    g_cancellable_cancel(pending_);
    g_object_unref(pending_);
    pending_ = nullptr;
  }
  if (owner == nullptr) {
    tell(PanelLook::iconOnly);
    return;
  }
  pending_ = g_cancellable_new();
  g_dbus_connection_call(bus_, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                         "org.freedesktop.DBus", "GetConnectionUnixProcessID",
                         g_variant_new("(s)", owner), G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE,
                         -1, pending_, &PanelHostWatch::onProcessId, this);
}

void PanelHostWatch::onProcessId(GObject* bus, GAsyncResult* result, gpointer self) {
  GError* error = nullptr;
  GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(bus), result, &error);
  // Cancelled: the watch may be gone, and `self` with it.
  if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED)) {
    g_error_free(error);
    return;
  }
  auto* watch = static_cast<PanelHostWatch*>(self);
  guint32 pid = 0;
  if (reply != nullptr) {
    g_variant_get(reply, "(u)", &pid);
    g_variant_unref(reply);
  }
  // An owner that is already gone, or a bus that does not tell: an unknown host.
  g_clear_error(&error);
  callGuarded([watch, pid] { watch->tell(panelLookFor(pid != 0 ? watch->programOf_(pid) : "")); },
              "the panel's look");
}

void PanelHostWatch::tell(PanelLook look) {
  callGuarded([this, look] { onLook_(look); }, "the panel's look");
}

}  // namespace stratovane
