// One showing of the settings view: a fresh controller and view handed to the presenter.
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "platform/Autostart.h"
#include "platform/NotificationCenter.h"
#include "platform/UserDefaults.h"
#include "platform/ViewPresenter.h"
#include "platform/Widgets.h"
#include "platform/Workspace.h"
#include "settings/PlaceSearchController.h"

namespace stratovane {

struct SettingsServices {
  UserDefaults& defaults;
  NotificationCenter& notificationCenter;
  Workspace& workspace;
  InterfaceLoader& interfaceLoader;
  ViewPresenter& presenter;
  Autostart* autostart = nullptr;  // none: the start-at-login switch is left alone
  std::optional<PlaceSearchServices> placeSearch =
      std::nullopt;  // none: the search field stays inert
};

// Loads "ViewController" from "Main" and presents it; `closed` runs once when it has closed,
// before the settings are stored. None, and nothing shown, when the view cannot be loaded.
std::shared_ptr<View> presentSettingsView(const SettingsServices& services, PresentationStyle style,
                                          std::function<void()> closed);

}  // namespace stratovane
