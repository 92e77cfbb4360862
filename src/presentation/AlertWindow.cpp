// The alert window's controller, and the refill that puts one alert into it.
#include "presentation/AlertWindow.h"

#include <optional>

namespace stratovane {

Connections AlertWindow::connections() {
  Connections connections;
  connections.textFieldCells.emplace_back("alertEventTxt", &alertEventTxt);
  connections.textFieldCells.emplace_back("alertSenderTxt", &alertSenderTxt);
  connections.textFieldCells.emplace_back("alertStartTxt", &alertStartTxt);
  connections.textFieldCells.emplace_back("alertEndTxt", &alertEndTxt);
  connections.scrollViews.emplace_back("alertTxt", &alertTxt);
  connections.textViews.emplace_back("alertTxtView", &alertTxtView);
  connections.actions.emplace_back("okButton", [this] { okButton(); });
  return connections;
}

void showAlertWindow(AlertWindow& controller, const WeatherAlert& alert,
                     const TimeFormatting& times) {
  controller.showWindow();
  if (!controller.window()) return;

  const auto timeText = [&times](const std::optional<double>& seconds) {
    return seconds ? times.weekdayShortTime(*seconds) : std::string();
  };
  if (controller.alertEventTxt) controller.alertEventTxt->setTitle(alert.event);
  if (controller.alertSenderTxt) controller.alertSenderTxt->setTitle(alert.senderName);
  if (controller.alertStartTxt) controller.alertStartTxt->setTitle(timeText(alert.start));
  if (controller.alertEndTxt) controller.alertEndTxt->setTitle(timeText(alert.end));
  replaceReadOnlyText(controller.alertTxt, controller.alertTxtView, alert.description);
  controller.orderFrontCentred();
}

}  // namespace stratovane
