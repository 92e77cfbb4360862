// Base of the window controllers: a window loaded from its interface file on first show.
#pragma once

#include <memory>
#include <string>

#include "platform/Widgets.h"

namespace stratovane {

class WindowController {
 public:
  // Nothing is loaded until the window is first shown.
  WindowController(InterfaceLoader& loader, std::string windowNibName);
  virtual ~WindowController() = default;
  // The loader keeps actions that point back here.
  WindowController(const WindowController&) = delete;
  WindowController& operator=(const WindowController&) = delete;

  // Loads the window and connects the outlets on first use, then shows it. When loading fails
  // nothing is shown, and the next call tries again.
  void showWindow();
  void close();
  // Centres the loaded window and puts it in front without activating the application; nothing
  // when there is no window.
  void orderFrontCentred();
  // Empty until loaded.
  const std::shared_ptr<Window>& window() const { return window_; }

 protected:
  // The outlets and actions that the interface file connects.
  virtual Connections connections() = 0;

 private:
  InterfaceLoader& loader_;
  std::string windowNibName_;
  std::shared_ptr<Window> window_;
};

// Puts `text` in place of the document of `scrollView`, through `textView` made editable for the
// change, and leaves it read-only with the insertion point at its start. Missing outlets are
// skipped.
void replaceReadOnlyText(const std::shared_ptr<ScrollView>& scrollView,
                         const std::shared_ptr<TextView>& textView, const std::string& text);
// The same with the text's attributes: the document is cleared as if typed, then `text` appended.
void replaceReadOnlyText(const std::shared_ptr<ScrollView>& scrollView,
                         const std::shared_ptr<TextView>& textView, const AttributedString& text);

}  // namespace stratovane
