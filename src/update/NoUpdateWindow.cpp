// The window that tells the user the running version is the newest.
#include "update/NoUpdateWindow.h"

namespace stratovane {

Connections NoUpdateWindow::connections() {
  Connections connections;
  connections.actions.emplace_back("okButton", [this] { okButton(); });
  return connections;
}

void showNoUpdateWindow(NoUpdateWindow& controller) {
  controller.showWindow();
  controller.orderFrontCentred();
}

}  // namespace stratovane
