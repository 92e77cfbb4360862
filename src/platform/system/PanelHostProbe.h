// Looks for a panel host that can show status items: a StatusNotifier watcher or an XEmbed tray.
#pragma once

#include <gio/gio.h>

#include <functional>

#include "platform/Translation.h"

namespace stratovane {

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

  // `bus` is where the watcher would be, normally the session bus; null when there is none.
  explicit PanelHostProbe(GDBusConnection* bus);
  ~PanelHostProbe();  // a pending answer is dropped
  PanelHostProbe(const PanelHostProbe&) = delete;
  PanelHostProbe& operator=(const PanelHostProbe&) = delete;

  // Answers on the main loop, never from inside this call: whether a watcher owns its name, and
  // whether an XEmbed tray is there.
  void check(std::function<void(bool watcher, bool xembedTray)> answer);

  // Whether a tray manager owns the XEmbed system-tray selection of the default screen of
  // $DISPLAY; asked over a connection of its own, closed again, so no toolkit is needed.
  static bool xembedTrayPresent();

  // Sends the hint to standard error and to the desktop's notifications.
  static void sayNoHost(GDBusConnection* bus);

 private:
  struct Question;
  static void onAnswer(GObject* bus, GAsyncResult* result, gpointer question);

  GDBusConnection* bus_;
  GCancellable* cancellable_ = g_cancellable_new();
};

}  // namespace stratovane
