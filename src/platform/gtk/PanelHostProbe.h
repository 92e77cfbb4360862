// Looks for a panel host that can show status items: a StatusNotifier watcher or an XEmbed tray.
#pragma once

#include <giomm/cancellable.h>
#include <giomm/dbusconnection.h>

#include <functional>

#include "platform/Translation.h"

namespace stratovane::gtk {

class PanelHostProbe {
 public:
  static constexpr const char* kHint = trLater(
      "stratovane: no panel host for status items was found; on GNOME, enable the "
      "AppIndicator extension");
  // The same, once per run, as a desktop notification.
  static constexpr const char* kNoticeSummary =
      trLater("Stratovane: no panel to show the weather in");
  static constexpr const char* kNoticeBody = trLater(
      "On GNOME, install and enable the AppIndicator extension "
      "(gnome-shell-extension-appindicator, \"AppIndicator and KStatusNotifierItem Support\"). "
      "The weather appears as soon as it is on; Stratovane keeps running.");

  // `bus` is where the watcher would be, normally the session bus; empty when there is none.
  explicit PanelHostProbe(Glib::RefPtr<Gio::DBus::Connection> bus);
  ~PanelHostProbe();  // a pending answer is dropped
  PanelHostProbe(const PanelHostProbe&) = delete;
  PanelHostProbe& operator=(const PanelHostProbe&) = delete;

  // Answers on the main loop, never from inside this call.
  void check(std::function<void(bool hostPresent)> answer);

  // Whether a tray manager owns the XEmbed system-tray selection of the default screen.
  static bool xembedTrayPresent();

 private:
  Glib::RefPtr<Gio::DBus::Connection> bus_;
  Glib::RefPtr<Gio::Cancellable> cancellable_ = Gio::Cancellable::create();
};

}  // namespace stratovane::gtk
