// The tray front-end: GTK, the panel item and the windows of the interface files.
#pragma once

#include <sigc++/connection.h>

#include <memory>

#include "platform/DesktopFrontEnd.h"
#include "platform/StatusItem.h"
#include "platform/Widgets.h"
#include "platform/gtk/GtkInterfaceLoader.h"
#include "platform/gtk/GtkViewPresenter.h"
#include "platform/system/DBusNotifier.h"
#include "platform/system/GeoClueLocation.h"
#include "platform/system/GioWorkspace.h"
#include "platform/system/PanelHostProbe.h"
#include "platform/system/PanelHostWatch.h"
#include "platform/system/SessionInstance.h"
#include "platform/system/SleepMonitor.h"

namespace stratovane::gtk {

class TrayFrontEnd final : public DesktopFrontEnd {
 public:
  // A graphical session: a display is named and GTK can open it.
  static bool displayAvailable();

  // Initialises GTK; throws std::runtime_error when no display can be opened.
  TrayFrontEnd(int& argc, char**& argv);
  ~TrayFrontEnd() override { pendingProbe_.disconnect(); }
  TrayFrontEnd(const TrayFrontEnd&) = delete;
  TrayFrontEnd& operator=(const TrayFrontEnd&) = delete;

  // The panel item, drawn as the current panel host draws items. A few seconds after the first
  // one is made, one hint goes to standard error and to the desktop's notifications when the
  // session has no panel host that could show it; the application keeps running, and the item
  // appears once a host does.
  std::shared_ptr<StatusItem> createStatusItem() override;
  InterfaceLoader& interfaceLoader() override { return interfaceLoader_; }
  ViewPresenter& viewPresenter() override { return viewPresenter_; }
  Workspace& workspace() override { return workspace_; }
  LocationService& locationService() override { return location_; }
  Notifier* notifier() override;
  SessionRole claimSession(std::function<void()> activated) override;
  void watchSleep(std::function<void()> woke) override;

  // Runs the GTK main loop on the default main context, where the run loop and queues live too.
  void run() override;
  void quit() override;

 private:
  GtkInterfaceLoader interfaceLoader_;
  GtkViewPresenter viewPresenter_;
  GioWorkspace workspace_;
  GeoClueLocation location_;
  std::unique_ptr<SessionInstance> session_;
  std::unique_ptr<SleepMonitor> sleepMonitor_;
  std::unique_ptr<PanelHostProbe> probe_;
  std::unique_ptr<PanelHostWatch> hostWatch_;
  std::unique_ptr<DBusNotifier> notifier_;
  sigc::connection pendingProbe_;
};

}  // namespace stratovane::gtk
