// The update check's outcome in its window, for `stratovane --check-update` with a display.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "platform/RunLoop.h"
#include "platform/Widgets.h"
#include "platform/Workspace.h"
#include "update/ErrorWindow.h"
#include "update/NoUpdateWindow.h"
#include "update/UpdatePresenter.h"
#include "update/windowUpdate.h"

namespace stratovane {

// Shows the same windows as the panel item's check; `finished` gets status 0 once the shown
// window is closed, or 1 when there was none to show (said in one line on `err`).
class WindowedUpdateReport : public UpdatePresenter {
 public:
  WindowedUpdateReport(InterfaceLoader& loader, Workspace& workspace, std::string archiveURL,
                       RunLoop& runLoop, std::FILE* err, std::function<void(int)> finished);

  void showUpdateWindow(const std::string& message,
                        const AttributedString& revisionHistory) override;
  void showNoUpdateWindow() override;
  void showErrorWindow(const std::string& message) override;
  void checkEndedSilently(SilentEnd reason) override;

 private:
  // Windows have no closing event of their own here; a glance every tenth of a second is cheap.
  void finishWhenClosed(const std::shared_ptr<Window>& window);

  windowUpdate updateWnd_;
  ErrorWindow errorWnd_;
  NoUpdateWindow alreadyUpdate_;
  RunLoop& runLoop_;
  std::FILE* err_;
  std::function<void(int)> finished_;
  std::shared_ptr<Timer> watch_;
};

}  // namespace stratovane
