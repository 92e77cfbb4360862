// The forecast window's controller, and the refill that puts a new forecast text into it.
#pragma once

#include <memory>
#include <string>

#include "platform/Widgets.h"

namespace stratovane {

class forcastWindows {
 public:
  // Nothing is loaded until the window is first shown.
  explicit forcastWindows(InterfaceLoader& loader, std::string interfaceName = "forcastWindows");
  // The loader keeps actions that point back here.
  forcastWindows(const forcastWindows&) = delete;
  forcastWindows& operator=(const forcastWindows&) = delete;

  // Loads the window and connects the outlets on first use, then shows it. When loading fails
  // nothing is shown, and the next call tries again.
  void showWindow();
  // The action of the window's button.
  void okButton();
  // Empty until loaded.
  const std::shared_ptr<Window>& window() const { return window_; }

  std::shared_ptr<TextFieldCell> weatherIconTxt;
  std::shared_ptr<ScrollView> weatherTxt;
  std::shared_ptr<TextView> weatherTxtView;

 private:
  void loadWindow();

  InterfaceLoader& loader_;
  std::string interfaceName_;
  std::shared_ptr<Window> window_;
};

// Shows the window with the emoji of `dailyForcastIcon` and `dailyForcast` in place of the previous
// text, the insertion point at its start, centred and in front without activating the application.
void showForecastWindow(forcastWindows& controller, const std::string& dailyForcast,
                        const std::string& dailyForcastIcon);

}  // namespace stratovane
