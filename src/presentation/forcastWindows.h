// The forecast window's controller, and the refill that puts a new forecast text into it.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "platform/Widgets.h"
#include "presentation/WindowController.h"

namespace stratovane {

class forcastWindows : public WindowController {
 public:
  explicit forcastWindows(InterfaceLoader& loader, std::string interfaceName = "forcastWindows")
      : WindowController(loader, std::move(interfaceName)) {}

  // The action of the window's button.
  void okButton() { close(); }

  std::shared_ptr<TextFieldCell> weatherIconTxt;
  std::shared_ptr<ScrollView> weatherTxt;
  std::shared_ptr<TextView> weatherTxtView;

 protected:
  Connections connections() override;
};

// Shows the window with the emoji of `dailyForcastIcon` and `dailyForcast` in place of the previous
// text, the insertion point at its start, centred and in front without activating the application.
void showForecastWindow(forcastWindows& controller, const std::string& dailyForcast,
                        const std::string& dailyForcastIcon);

}  // namespace stratovane
