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
  if (controller.errorTV) controller.errorTV->setEditable(true);
  if (controller.errorMsg) {
    if (const std::shared_ptr<TextView> document = controller.errorMsg->documentView()) {
      document->selectAll();
      document->insertText(message);
    }
  }
  if (controller.errorTV) {
    controller.errorTV->moveToBeginningOfDocument();
    controller.errorTV->setEditable(false);
  }
  if (const std::shared_ptr<Window>& window = controller.window()) {
    window->center();
    window->orderFrontRegardless();
  }
}

}  // namespace stratovane
