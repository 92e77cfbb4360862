// The alert window's controller, and the refill that puts one alert into it.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "platform/Formatting.h"
#include "platform/Widgets.h"
#include "presentation/WeatherAlert.h"
#include "presentation/WindowController.h"

namespace stratovane {

class AlertWindow : public WindowController {
 public:
  explicit AlertWindow(InterfaceLoader& loader, std::string interfaceName = "AlertWindow")
      : WindowController(loader, std::move(interfaceName)) {}

  // The action of the window's button.
  void okButton() { close(); }

  std::shared_ptr<TextFieldCell> alertEventTxt;
  std::shared_ptr<TextFieldCell> alertSenderTxt;
  std::shared_ptr<TextFieldCell> alertStartTxt;
  std::shared_ptr<TextFieldCell> alertEndTxt;
  std::shared_ptr<ScrollView> alertTxt;
  std::shared_ptr<TextView> alertTxtView;

 protected:
  Connections connections() override;
};

// Drawn centred between the descriptions of an alert given for several areas.
inline constexpr const char* kAlertRule =
    "\u2500\u2500\u2500\u2500\u2500\u2500\u2500\u2500\u2500\u2500"
    "\u2500\u2500\u2500\u2500\u2500\u2500\u2500\u2500\u2500\u2500";

// Shows the window with the alert's event, sender, start and end (weekday and short time; empty
// when the answer had none) and its descriptions in place of the previous text, each after the
// other with a blank line, the rule and a blank line between them, the insertion point at the
// start, centred and in front without activating the application.
void showAlertWindow(AlertWindow& controller, const WeatherAlert& alert,
                     const TimeFormatting& times);

}  // namespace stratovane
