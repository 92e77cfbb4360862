// The API-key help view: the running version and a link to the weather service's site.
#include "settings/apiKey.h"

#include "settings/ViewController.h"

namespace stratovane {

void apiKey::addConnections(Connections& connections, const std::string& viewIdentifier) {
  connections.views.emplace_back(viewIdentifier, &view);
  connections.textFieldCells.emplace_back("getApiText", &getApiText);
  connections.actions.emplace_back("gotoDarksky", [this] { gotoDarksky(); });
}

void apiKey::viewDidLoad() {
  if (getApiText) getApiText->setTitle(STRATOVANE_VERSION);
}

void apiKey::gotoDarksky() {
  workspace_.openURL(weatherServiceSite);
  if (view) view->dismiss();
}

}  // namespace stratovane
