// The About view: the running version and a link to the developer's site.
#include "settings/About.h"

namespace stratovane {

void About::addConnections(Connections& connections, const std::string& viewIdentifier) {
  connections.views.emplace_back(viewIdentifier, &view);
  connections.textFieldCells.emplace_back("aboutText", &aboutText);
  connections.actions.emplace_back("linkPressed", [this] { linkPressed(); });
}

void About::viewDidLoad() {
  if (aboutText) aboutText->setTitle(STRATOVANE_VERSION);
}

void About::linkPressed() {
  workspace_.openURL(STRATOVANE_WEBSITE);
  if (view) view->dismiss();
}

}  // namespace stratovane
