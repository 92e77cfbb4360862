// The forecast window's controller, and the refill that puts a new forecast text into it.
#include "presentation/forcastWindows.h"

#include "presentation/emojiForIcon.h"

namespace stratovane {

Connections forcastWindows::connections() {
  Connections connections;
  connections.textFieldCells.emplace_back("weatherIconTxt", &weatherIconTxt);
  connections.scrollViews.emplace_back("weatherTxt", &weatherTxt);
  connections.textViews.emplace_back("weatherTxtView", &weatherTxtView);
  connections.actions.emplace_back("okButton", [this] { okButton(); });
  return connections;
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
