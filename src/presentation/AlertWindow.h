// The alert window's controller, and the refill that puts one alert into it.
#pragma once

#include <memory>
#include <string>

#include "platform/Formatting.h"
#include "platform/Widgets.h"
#include "presentation/WeatherAlert.h"

namespace stratovane {

class AlertWindow {
 public:
  // Nothing is loaded until the window is first shown.
  explicit AlertWindow(InterfaceLoader& loader, std::string interfaceName = "AlertWindow");
  // The loader keeps actions that point back here.
  AlertWindow(const AlertWindow&) = delete;
  AlertWindow& operator=(const AlertWindow&) = delete;

  // Loads the window and connects the outlets on first use, then shows it. When loading fails
  // nothing is shown, and the next call tries again.
  void showWindow();
  // The action of the window's button.
  void okButton();
  // Empty until loaded.
  const std::shared_ptr<Window>& window() const { return window_; }

  std::shared_ptr<TextFieldCell> alertEventTxt;
  std::shared_ptr<TextFieldCell> alertSenderTxt;
  std::shared_ptr<TextFieldCell> alertStartTxt;
  std::shared_ptr<TextFieldCell> alertEndTxt;
  std::shared_ptr<ScrollView> alertTxt;
  std::shared_ptr<TextView> alertTxtView;

 private:
  void loadWindow();

  InterfaceLoader& loader_;
  std::string interfaceName_;
  std::shared_ptr<Window> window_;
};

// Shows the window with the alert's event, sender, start and end (weekday and short time; empty
// when the answer had none) and its description in place of the previous text, the insertion point
// at its start, centred and in front without activating the application.
void showAlertWindow(AlertWindow& controller, const WeatherAlert& alert,
                     const TimeFormatting& times);

}  // namespace stratovane
