// The entry point of the map's loadable module.
#include "platform/gtk/MapModule.h"

#include <memory>
#include <type_traits>

#include "platform/gtk/OsmMapView.h"

extern "C" __attribute__((visibility("default"))) stratovane::MapView* stratovane_map_view_new(
    GtkContainer* container) {
  if (container == nullptr) return nullptr;
  try {
    return std::make_unique<stratovane::gtk::OsmMapView>(*Glib::wrap(container)).release();
  } catch (...) {
    return nullptr;
  }
}
static_assert(std::is_same_v<decltype(&stratovane_map_view_new), stratovane::gtk::MapViewFactory>);
