// The update offer: the offer message, the revision history and a button to download.
#include "update/windowUpdate.h"

#include <utility>

#include "json/URL.h"

namespace stratovane {

windowUpdate::windowUpdate(InterfaceLoader& loader, Workspace& workspace, std::string archiveURL,
                           std::string windowNibName)
    : WindowController(loader, std::move(windowNibName)),
      workspace_(workspace),
      archiveURL_(std::move(archiveURL)) {}

Connections windowUpdate::connections() {
  Connections connections;
  connections.textFieldCells.emplace_back("verString", &verString);
  connections.scrollViews.emplace_back("revisionString", &revisionString);
  connections.textViews.emplace_back("revisionMsg", &revisionMsg);
  connections.actions.emplace_back("downloadButton", [this] { downloadButton(); });
  connections.actions.emplace_back("cancelButton", [this] { cancelButton(); });
  return connections;
}

void windowUpdate::downloadButton() {
  // An address that is no URL is never handed to the browser.
  if (const std::optional<URL> url = URL::fromString(archiveURL_)) {
    workspace_.openURL(url->absoluteString());
  }
  close();
}

void showUpdateWindow(windowUpdate& controller, const std::string& message,
                      const AttributedString& revisionHistory) {
  controller.showWindow();
  if (controller.verString) controller.verString->setTitle(message);
  if (controller.revisionMsg) controller.revisionMsg->setEditable(true);
  if (controller.revisionString) {
    if (const std::shared_ptr<TextView> document = controller.revisionString->documentView()) {
      document->selectAll();
      document->insertText("");
    }
  }
  if (controller.revisionMsg) {
    controller.revisionMsg->appendAttributedString(revisionHistory);
    controller.revisionMsg->setEditable(false);
    controller.revisionMsg->moveToBeginningOfDocument();
  }
  controller.orderFrontCentred();
}

}  // namespace stratovane
