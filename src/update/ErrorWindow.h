// The error window of the update check: one message in a scrolling text view.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "presentation/WindowController.h"

namespace stratovane {

class ErrorWindow : public WindowController {
 public:
  explicit ErrorWindow(InterfaceLoader& loader, std::string windowNibName = "ErrorWindow")
      : WindowController(loader, std::move(windowNibName)) {}

  void okButton() { close(); }

  std::shared_ptr<ScrollView> errorMsg;
  std::shared_ptr<TextView> errorTV;

 protected:
  Connections connections() override;
};

// Shows the window with `message` in place of the previous one, the view at its start, centred
// and in front without activating the application.
void showErrorWindow(ErrorWindow& controller, const std::string& message);

}  // namespace stratovane
