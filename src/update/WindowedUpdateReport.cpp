// The update check's outcome in its window, for `stratovane --check-update` with a display.
#include "update/WindowedUpdateReport.h"

#include <utility>

#include "update/TextUpdateReport.h"

namespace stratovane {

WindowedUpdateReport::WindowedUpdateReport(InterfaceLoader& loader, Workspace& workspace,
                                           std::string archiveURL, RunLoop& runLoop, std::FILE* err,
                                           std::function<void(int)> finished)
    : updateWnd_(loader, workspace, std::move(archiveURL)),
      errorWnd_(loader),
      alreadyUpdate_(loader),
      runLoop_(runLoop),
      err_(err),
      finished_(std::move(finished)) {}

void WindowedUpdateReport::showUpdateWindow(const std::string& message,
                                            const AttributedString& revisionHistory) {
  stratovane::showUpdateWindow(updateWnd_, message, revisionHistory);
  finishWhenClosed(updateWnd_.window());
}

void WindowedUpdateReport::showNoUpdateWindow() {
  stratovane::showNoUpdateWindow(alreadyUpdate_);
  finishWhenClosed(alreadyUpdate_.window());
}

void WindowedUpdateReport::showErrorWindow(const std::string& message) {
  stratovane::showErrorWindow(errorWnd_, message);
  finishWhenClosed(errorWnd_.window());
}

void WindowedUpdateReport::checkEndedSilently(SilentEnd reason) {
  std::fprintf(err_, "%s\n", TextUpdateReport::silentEndText(reason));
  std::fflush(err_);
  finished_(1);
}

void WindowedUpdateReport::finishWhenClosed(const std::shared_ptr<Window>& window) {
  if (!window) {
    // The loader has said why.
    finished_(1);
    return;
  }
  watch_ = runLoop_.scheduledTimer(0.1, [this, window] {
    if (window->isVisible()) return;
    watch_->invalidate();
    finished_(0);
  });
}

}  // namespace stratovane
