// The API-key help view: the running version and a link to the weather service's site.
#pragma once

#include <memory>

#include "platform/Widgets.h"
#include "platform/Workspace.h"

namespace stratovane {

class apiKey {
 public:
  explicit apiKey(Workspace& workspace) : workspace_(workspace) {}
  apiKey(const apiKey&) = delete;
  apiKey& operator=(const apiKey&) = delete;

  // Adds this view's outlets and actions, the view itself under `viewIdentifier`.
  void addConnections(Connections& connections, const std::string& viewIdentifier);
  void viewDidLoad();
  void gotoDarksky();

  std::shared_ptr<TextFieldCell> getApiText;
  std::shared_ptr<View> view;

 private:
  Workspace& workspace_;
};

}  // namespace stratovane
