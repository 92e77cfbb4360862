// Follows which program owns the StatusNotifier watcher and tells how its host draws items.
#include "platform/gtk/PanelHostWatch.h"

#include <glibmm/main.h>
#include <glibmm/variant.h>

#include <exception>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <utility>

#include "platform/gtk/GuardedAction.h"

namespace stratovane::gtk {

namespace {

constexpr const char* kWatcher = "org.kde.StatusNotifierWatcher";

}  // namespace

PanelHostWatch::PanelHostWatch(Glib::RefPtr<Gio::DBus::Connection> bus,
                               std::function<void(PanelLook)> onLook, ProgramOf programOf)
    : bus_(std::move(bus)), onLook_(std::move(onLook)), programOf_(std::move(programOf)) {
  if (!bus_) {
    pending_ = Gio::Cancellable::create();
    Glib::signal_idle().connect_once([this, cancellable = pending_] {
      if (!cancellable->is_cancelled()) tell(PanelLook::iconOnly);
    });
    return;
  }
  watch_ = g_bus_watch_name_on_connection(bus_->gobj(), kWatcher, G_BUS_NAME_WATCHER_FLAGS_NONE,
                                          &PanelHostWatch::onAppeared, &PanelHostWatch::onVanished,
                                          this, nullptr);
}

PanelHostWatch::~PanelHostWatch() {
  if (pending_) pending_->cancel();
  if (watch_ != 0) g_bus_unwatch_name(watch_);
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
  runGuarded([self, owner] { static_cast<PanelHostWatch*>(self)->ownerChanged(owner); });
}

void PanelHostWatch::onVanished(GDBusConnection*, const gchar*, gpointer self) {
  runGuarded([self] { static_cast<PanelHostWatch*>(self)->ownerChanged({}); });
}

void PanelHostWatch::ownerChanged(const std::string& owner) {
  if (pending_) pending_->cancel();
  pending_ = Gio::Cancellable::create();
  if (owner.empty()) {
    tell(PanelLook::iconOnly);
    return;
  }
  bus_->call(
      "/org/freedesktop/DBus", "org.freedesktop.DBus", "GetConnectionUnixProcessID",
      Glib::VariantContainerBase::create_tuple(Glib::Variant<Glib::ustring>::create(owner)),
      [this, cancellable = pending_](Glib::RefPtr<Gio::AsyncResult>& result) {
        if (cancellable->is_cancelled()) return;
        std::string program;
        try {
          Glib::Variant<guint32> pid;
          bus_->call_finish(result).get_child(pid, 0);
          program = programOf_(pid.get());
        } catch (const Glib::Error&) {
          // An owner that is already gone, or a bus that does not tell: an unknown host.
        } catch (const std::exception&) {
        }
        tell(panelLookFor(program));
      },
      pending_, "org.freedesktop.DBus");
}

void PanelHostWatch::tell(PanelLook look) {
  runGuarded([this, look] { onLook_(look); });
}

}  // namespace stratovane::gtk
