// The About view: the running version and a link to the developer's site.
#pragma once

#include <memory>
#include <string>

#include "platform/Widgets.h"
#include "platform/Workspace.h"

namespace stratovane {

class About {
 public:
  explicit About(Workspace& workspace) : workspace_(workspace) {}
  About(const About&) = delete;
  About& operator=(const About&) = delete;

  // Adds this view's outlets and actions, the view itself under `viewIdentifier`.
  void addConnections(Connections& connections, const std::string& viewIdentifier);
  void viewDidLoad();
  void linkPressed();

  std::shared_ptr<TextFieldCell> aboutText;
  std::shared_ptr<View> view;

 private:
  Workspace& workspace_;
};

}  // namespace stratovane
