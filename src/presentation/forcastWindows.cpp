// The forecast window's controller, and the refill that puts a new forecast text into it.
#include "presentation/forcastWindows.h"

#include <utility>

#include "presentation/emojiForIcon.h"

namespace stratovane {

forcastWindows::forcastWindows(InterfaceLoader& loader, std::string interfaceName)
    : loader_(loader), interfaceName_(std::move(interfaceName)) {}

void forcastWindows::loadWindow() {
  Connections connections;
  connections.textFieldCells.emplace_back("weatherIconTxt", &weatherIconTxt);
  connections.scrollViews.emplace_back("weatherTxt", &weatherTxt);
  connections.textViews.emplace_back("weatherTxtView", &weatherTxtView);
  connections.actions.emplace_back("okButton", [this] { okButton(); });
  window_ = loader_.loadWindow(interfaceName_, connections);
  if (!window_) {
    // A failed load must not leave half-connected outlets behind.
    weatherIconTxt.reset();
    weatherTxt.reset();
    weatherTxtView.reset();
  }
}

void forcastWindows::showWindow() {
  if (!window_) loadWindow();
  if (window_) window_->show();
}

void forcastWindows::okButton() {
  if (window_) window_->close();
}

void showForecastWindow(forcastWindows& controller, const std::string& dailyForcast,
                        const std::string& dailyForcastIcon) {
  controller.showWindow();
  const std::shared_ptr<Window>& window = controller.window();
  if (!window) return;

  if (controller.weatherIconTxt)
    controller.weatherIconTxt->setTitle(emojiForIcon(dailyForcastIcon));
  if (controller.weatherTxtView) controller.weatherTxtView->setEditable(true);
  if (controller.weatherTxt) {
    if (const std::shared_ptr<TextView> document = controller.weatherTxt->documentView()) {
      document->selectAll();
      document->insertText(dailyForcast);
    }
  }
  if (controller.weatherTxtView) {
    controller.weatherTxtView->moveToBeginningOfDocument();
    controller.weatherTxtView->setEditable(false);
  }
  window->center();
  window->orderFrontRegardless();
}

}  // namespace stratovane
