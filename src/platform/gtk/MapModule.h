// The map lives in a module of its own, so that the panel item maps the map library and its
// network and cache libraries only once the settings view is opened.
#pragma once

#include <gtk/gtk.h>

#include "platform/MapView.h"

namespace stratovane::gtk {

inline constexpr const char* kMapModuleName = "stratovane-map.so";

// The module's one exported function. Makes the map inside `container`, filling it; null when
// it cannot. The caller owns the result.
extern "C" using MapViewFactory = MapView * (*)(GtkContainer * container);
inline constexpr const char* kMapViewFactory = "stratovane_map_view_new";

}  // namespace stratovane::gtk
