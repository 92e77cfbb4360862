// One showing of the settings view: a fresh controller and view handed to the presenter.
#include "settings/presentSettingsView.h"

#include <utility>

#include "settings/ViewController.h"

namespace stratovane {

std::shared_ptr<View> presentSettingsView(const SettingsServices& services, PresentationStyle style,
                                          std::function<void()> closed) {
  auto controller = std::make_shared<ViewController>(services.defaults, services.notificationCenter,
                                                     services.workspace, services.autostart,
                                                     services.placeSearch);
  std::shared_ptr<View> view =
      services.interfaceLoader.loadView("Main", "ViewController", controller->connections());
  if (!view) return nullptr;
  controller->viewDidLoad();
  services.presenter.present(view, style,
                             ViewLifeCycle{
                                 .viewWillAppear = [controller] { controller->viewWillAppear(); },
                                 .viewDidDisappear =
                                     [controller, closed = std::move(closed)] {
                                       if (closed) closed();
                                       controller->viewDidDisappear();
                                     },
                             });
  return view;
}

}  // namespace stratovane
