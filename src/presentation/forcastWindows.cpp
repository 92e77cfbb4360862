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
  if (!controller.window()) return;

  if (controller.weatherIconTxt)
    controller.weatherIconTxt->setTitle(emojiForIcon(dailyForcastIcon));
  replaceReadOnlyText(controller.weatherTxt, controller.weatherTxtView, dailyForcast);
  controller.orderFrontCentred();
}

}  // namespace stratovane
