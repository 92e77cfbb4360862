// The error window of the update check: one message in a scrolling text view.
#include "update/ErrorWindow.h"

namespace stratovane {

Connections ErrorWindow::connections() {
  Connections connections;
  connections.scrollViews.emplace_back("errorMsg", &errorMsg);
  connections.textViews.emplace_back("errorTV", &errorTV);
  connections.actions.emplace_back("okButton", [this] { okButton(); });
  return connections;
}

void showErrorWindow(ErrorWindow& controller, const std::string& message) {
  controller.showWindow();
  replaceReadOnlyText(controller.errorMsg, controller.errorTV, message);
  controller.orderFrontCentred();
}

}  // namespace stratovane
