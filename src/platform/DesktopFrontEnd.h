// The graphical front-end: panel item, windows and the toolkit's main loop, loaded only when a
// display is used, so that bar processes never map the toolkit.
#pragma once

#include <functional>
#include <memory>

#include "platform/LocationService.h"
#include "platform/Notifier.h"
#include "platform/StatusItem.h"
#include "platform/ViewPresenter.h"
#include "platform/Widgets.h"
#include "platform/Workspace.h"

namespace stratovane {

class DesktopFrontEnd {
 public:
  virtual ~DesktopFrontEnd() = default;

  // The panel item.
  virtual std::shared_ptr<StatusItem> createStatusItem() = 0;
  virtual InterfaceLoader& interfaceLoader() = 0;
  // Shows the views of interface files in windows and popovers.
  virtual ViewPresenter& viewPresenter() = 0;
  // Opens addresses with the desktop's default handlers.
  virtual Workspace& workspace() = 0;
  // The computer's own position, for the settings view.
  virtual LocationService& locationService() = 0;
  // The desktop's notifications; none when the session has no bus to send them on.
  virtual Notifier* notifier() { return nullptr; }

  // One panel item per session.
  enum class SessionRole {
    first,   // later starts in this session call `activated` on the main thread
    second,  // another process is the panel item and has been asked to show its settings
    alone,   // no session bus: runs without uniqueness
  };
  virtual SessionRole claimSession(std::function<void()> activated) = 0;
  // Runs `woke` on the main thread each time the system has woken from sleep.
  virtual void watchSleep(std::function<void()> woke) = 0;

  // Runs the toolkit's main loop on the default main context until quit().
  virtual void run() = 0;
  virtual void quit() = 0;
};

// The module's one exported function. Opens the display; null when none can be opened. The
// caller owns the result.
extern "C" using DesktopFrontEndFactory = DesktopFrontEnd * (*)(int* argc, char*** argv);
inline constexpr const char* kDesktopFrontEndFactory = "stratovane_desktop_front_end_new";
// The panel item's module has a factory of the same type: null when there is no session bus.
inline constexpr const char* kPanelFrontEndFactory = "stratovane_panel_front_end_new";

}  // namespace stratovane
