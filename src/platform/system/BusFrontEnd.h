// The panel item's front-end without a toolkit: the item and its menu on D-Bus, windows through
// the toolkit's module once the first one opens.
#pragma once

#include <gio/gio.h>

#include <functional>
#include <memory>

#include "platform/DesktopFrontEnd.h"
#include "platform/system/DBusNotifier.h"
#include "platform/system/GSourcePtr.h"
#include "platform/system/GeoClueLocation.h"
#include "platform/system/GioWorkspace.h"
#include "platform/system/PanelHostProbe.h"
#include "platform/system/SessionInstance.h"
#include "platform/system/SleepMonitor.h"
#include "platform/system/ToolkitOnDemand.h"

namespace stratovane {

class NotifierStatusItem;

class BusFrontEnd final : public DesktopFrontEnd {
 public:
  // Connects to the session bus; null, silently, when there is none: only an XEmbed tray,
  // through the toolkit's module, could show the item then. `loadToolkit` loads the module.
  static std::unique_ptr<BusFrontEnd> create(ToolkitOnDemand::Load loadToolkit);

  BusFrontEnd(GDBusConnection* bus, ToolkitOnDemand::Load loadToolkit);
  ~BusFrontEnd() override;
  BusFrontEnd(const BusFrontEnd&) = delete;
  BusFrontEnd& operator=(const BusFrontEnd&) = delete;

  // A few seconds after the first item is made, when no watcher has appeared: with an XEmbed
  // tray, the item is handed to the toolkit's own item, which the tray can show; without one,
  // one hint goes to standard error and to the desktop's notifications, and the item appears
  // once a watcher does.
  std::shared_ptr<StatusItem> createStatusItem() override;
  InterfaceLoader& interfaceLoader() override { return toolkit_; }
  ViewPresenter& viewPresenter() override { return toolkit_; }
  Workspace& workspace() override { return workspace_; }
  LocationService& locationService() override { return location_; }
  Notifier* notifier() override { return &notifier_; }
  SessionRole claimSession(std::function<void()> activated) override;
  void watchSleep(std::function<void()> woke) override;
  // A GLib main loop on the default main context; the toolkit, once loaded, runs on it too.
  void run() override;
  void quit() override;

  // Long enough for a panel started in the same session to claim its bus name.
  static constexpr unsigned kProbeDelaySeconds = 3;

 private:
  void probe();

  GDBusConnection* bus_;
  ToolkitOnDemand toolkit_;
  GioWorkspace workspace_;
  GeoClueLocation location_;
  DBusNotifier notifier_{bus_};
  std::unique_ptr<SessionInstance> session_;
  std::unique_ptr<SleepMonitor> sleepMonitor_;
  std::unique_ptr<PanelHostProbe> probe_;
  std::weak_ptr<NotifierStatusItem> item_;
  AttachedSource pendingProbe_;
  GMainLoop* loop_ = g_main_loop_new(nullptr, FALSE);
};

}  // namespace stratovane
