// Builds the windows of the interface files compiled into the binary and connects their outlets.
#pragma once

#include <gtkmm/builder.h>
#include <gtkmm/container.h>
#include <gtkmm/window.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/MapView.h"
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

  // A view is any non-window widget of the file, put into a new, hidden window of its own.
  // Further outlets: a text field is a GtkEntry, a pop-up button a GtkComboBox (see
  // GtkPopUpButtonAdapter), a segmented control a GtkBox of GtkToggleButtons, a map view an
  // empty GtkBox that the map is made in, a nested view a GtkPopover, a switch a GtkSwitch, a
  // search field a GtkEntry (see GtkSearchFieldAdapter), a button a GtkButton.
  std::shared_ptr<View> loadView(const std::string& name, const std::string& identifier,
                                 const Connections& connections) override;

  // Makes the map widget inside `container`, filling it; null, after one line on standard error,
  // when it cannot, and loading fails then. Unless replaced, the osm-gps-map map of the map
  // module found beside the desktop module running this code.
  using MapFactory = std::function<std::shared_ptr<MapView>(Gtk::Container& container)>;
  void setMapFactory(MapFactory factory) { mapFactory_ = std::move(factory); }

 private:
  // The builder of "<name>.ui"; none, after one line on standard error, when it cannot be loaded.
  static Glib::RefPtr<Gtk::Builder> build(const std::string& name);
  // Fills every outlet and connects every action of `connections`, or, when one is missing or
  // of another kind, says so and touches none of them.
  bool connect(const Glib::RefPtr<Gtk::Builder>& builder, const std::string& name,
               const std::shared_ptr<Gtk::Window>& window, const Connections& connections);

  MapFactory mapFactory_;
};

}  // namespace stratovane::gtk
