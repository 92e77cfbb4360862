// Follows which program owns the StatusNotifier watcher and tells how its host draws items.
#pragma once

#include <gio/gio.h>

#include <functional>
#include <string>

#include "platform/system/GSourcePtr.h"
#include "platform/system/PanelLook.h"

namespace stratovane {

class PanelHostWatch {
 public:
  // The program a process runs; empty when it cannot be told.
  using ProgramOf = std::function<std::string(unsigned pid)>;

  // Calls `onLook` on the main loop now and whenever the watcher's owner changes (a panel
  // restarts, an extension is enabled). Without a watcher, or without `bus`, items fall back to
  // an XEmbed tray, which draws icons only.
  PanelHostWatch(GDBusConnection* bus, std::function<void(PanelLook)> onLook,
                 ProgramOf programOf = programOfProcess);
  ~PanelHostWatch();
  PanelHostWatch(const PanelHostWatch&) = delete;
  PanelHostWatch& operator=(const PanelHostWatch&) = delete;

  // The file name of /proc/PID/exe, else /proc/PID/comm.
  static std::string programOfProcess(unsigned pid);

 private:
  static void onAppeared(GDBusConnection*, const gchar*, const gchar* owner, gpointer self);
  static void onVanished(GDBusConnection*, const gchar*, gpointer self);
  static void onProcessId(GObject* bus, GAsyncResult* result, gpointer self);
  void ownerChanged(const gchar* owner);
  void tell(PanelLook look);

  GDBusConnection* bus_;
  std::function<void(PanelLook)> onLook_;
  ProgramOf programOf_;
  guint watch_ = 0;
  GCancellable* pending_ = nullptr;  // the process-id question for the current owner
  AttachedSource busless_;
};

}  // namespace stratovane
