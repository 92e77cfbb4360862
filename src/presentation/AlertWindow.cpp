// The alert window's controller, and the refill that puts one alert into it.
#include "presentation/AlertWindow.h"

#include <optional>
#include <string_view>
#include <vector>

namespace stratovane {

namespace {

// Line breaks at the ends would widen the gap around the rule.
std::string_view withoutOuterBreaks(std::string_view text, bool leading, bool trailing) {
  const auto isBreak = [](char c) { return c == '\n' || c == '\r'; };
  while (leading && !text.empty() && isBreak(text.front())) text.remove_prefix(1);
  while (trailing && !text.empty() && isBreak(text.back())) text.remove_suffix(1);
  return text;
}

AttributedString alertText(const std::vector<std::string>& descriptions) {
  TextAttributes rule;
  rule.alignment = TextAlignment::center;
  rule.foreground = TextColor{0x88, 0x88, 0x88};  // readable on light and dark themes
  AttributedString text;
  for (std::size_t i = 0; i < descriptions.size(); ++i) {
    if (i > 0) {
      text.string += "\n\n";
      text.runs.push_back({text.string.size(), std::string_view(kAlertRule).size(), rule});
      text.string += kAlertRule;
      text.string += "\n\n";
    }
    text.string += withoutOuterBreaks(descriptions[i], i > 0, i + 1 < descriptions.size());
  }
  return text;
}

}  // namespace

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
  replaceReadOnlyText(controller.alertTxt, controller.alertTxtView, alertText(alert.descriptions));
  controller.orderFrontCentred();
}

}  // namespace stratovane
