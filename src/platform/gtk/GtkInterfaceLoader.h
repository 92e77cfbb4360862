// Builds the windows of the interface files compiled into the binary and connects their outlets.
#pragma once

#include <memory>
#include <string>

#include "platform/Widgets.h"

namespace stratovane::gtk {

// An interface file "<name>.ui" holds a GtkWindow with the id "window". Outlets are found by id:
// a text field cell is a GtkLabel, a scroll view a GtkScrolledWindow, a text view a GtkTextView;
// an action's name is the id of a GtkButton, run when it is clicked.
class GtkInterfaceLoader : public InterfaceLoader {
 public:
  static constexpr const char* kResourcePrefix = "/org/stratovane/ui/";

  // When the file or an id is missing, or a widget is of another kind, says so in one line on
  // standard error and returns none; no outlet is touched then.
  std::shared_ptr<Window> loadWindow(const std::string& name,
                                     const Connections& connections) override;
};

}  // namespace stratovane::gtk
