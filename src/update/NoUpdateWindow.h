// The window that tells the user the running version is the newest.
#pragma once

#include <string>
#include <utility>

#include "platform/Translation.h"
#include "presentation/WindowController.h"

namespace stratovane {

class NoUpdateWindow : public WindowController {
 public:
  // What the window says; the command line prints the same words.
  static constexpr const char* kMessage =
      trLater("You are running the newest version of Stratovane.");

  explicit NoUpdateWindow(InterfaceLoader& loader, std::string windowNibName = "NoUpdateWindow")
      : WindowController(loader, std::move(windowNibName)) {}

  void okButton() { close(); }

 protected:
  Connections connections() override;
};

// Shows the window centred and in front without activating the application.
void showNoUpdateWindow(NoUpdateWindow& controller);

}  // namespace stratovane
