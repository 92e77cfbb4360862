// The update offer: the offer message, the revision history and a button to download.
#pragma once

#include <memory>
#include <string>

#include "platform/Workspace.h"
#include "presentation/WindowController.h"
#include "rtf/AttributedString.h"

namespace stratovane {

class windowUpdate : public WindowController {
 public:
  // `archiveURL` is what the download button opens in the browser.
  windowUpdate(InterfaceLoader& loader, Workspace& workspace, std::string archiveURL,
               std::string windowNibName = "windowUpdate");

  // Opens the archive in the default browser, which downloads it, and closes the window.
  void downloadButton();
  void cancelButton() { close(); }

  std::shared_ptr<TextFieldCell> verString;
  std::shared_ptr<ScrollView> revisionString;
  std::shared_ptr<TextView> revisionMsg;

 protected:
  Connections connections() override;

 private:
  Workspace& workspace_;
  std::string archiveURL_;
};

// Shows the window with `message` and `revisionHistory` (formatting kept) in place of the
// previous ones, the history from its top, centred and in front without activating the
// application.
void showUpdateWindow(windowUpdate& controller, const std::string& message,
                      const AttributedString& revisionHistory);

}  // namespace stratovane
