// Looks for a panel host that can show status items: a StatusNotifier watcher or an XEmbed tray.
#include "platform/gtk/PanelHostProbe.h"

#include <glibmm/main.h>
#include <glibmm/variant.h>

#include <exception>
#include <string>
#include <utility>

#include "platform/gtk/GuardedAction.h"

// Last: the X11 headers define macros such as None and Bool that clash with C++ names.
#include <gdk/gdkx.h>

namespace stratovane::gtk {

namespace {

constexpr const char* kWatcher = "org.kde.StatusNotifierWatcher";

void deliver(const std::function<void(bool)>& answer, bool hostPresent) {
  runGuarded([&answer, hostPresent] { answer(hostPresent); });
}

}  // namespace

PanelHostProbe::PanelHostProbe(Glib::RefPtr<Gio::DBus::Connection> bus) : bus_(std::move(bus)) {}

PanelHostProbe::~PanelHostProbe() {
  cancellable_->cancel();
}

void PanelHostProbe::check(std::function<void(bool hostPresent)> answer) {
  const bool tray = xembedTrayPresent();
  // Callbacks keep only the cancellable to learn whether this probe is gone.
  Glib::RefPtr<Gio::Cancellable> cancellable = cancellable_;
  if (!bus_) {
    Glib::signal_idle().connect_once([cancellable, answer = std::move(answer), tray] {
      if (!cancellable->is_cancelled()) deliver(answer, tray);
    });
    return;
  }
  bus_->call(
      "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
      Glib::VariantContainerBase::create_tuple(Glib::Variant<Glib::ustring>::create(kWatcher)),
      [bus = bus_, cancellable, answer = std::move(answer),
       tray](Glib::RefPtr<Gio::AsyncResult>& result) {
        if (cancellable->is_cancelled()) return;
        bool watcher = false;
        try {
          Glib::Variant<bool> owned;
          bus->call_finish(result).get_child(owned, 0);
          watcher = owned.get();
        } catch (const Glib::Error&) {
          // A bus that cannot answer has no watcher either.
        } catch (const std::exception&) {
        }
        deliver(answer, watcher || tray);
      },
      cancellable, "org.freedesktop.DBus");
}

bool PanelHostProbe::xembedTrayPresent() {
  GdkDisplay* display = gdk_display_get_default();
  if (display == nullptr || !GDK_IS_X11_DISPLAY(display)) return false;
  const std::string selection =
      "_NET_SYSTEM_TRAY_S" +
      std::to_string(gdk_x11_screen_get_screen_number(gdk_display_get_default_screen(display)));
  return XGetSelectionOwner(gdk_x11_display_get_xdisplay(display),
                            gdk_x11_get_xatom_by_name_for_display(display, selection.c_str())) !=
         None;
}

}  // namespace stratovane::gtk
