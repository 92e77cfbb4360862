// The location picker's map on an osm-gps-map widget: tiles, marker, attribution and clicks.
#pragma once

#include <gtk/gtk.h>
#include <gtkmm/container.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/MapView.h"

namespace stratovane::gtk {

class OsmMapView final : public MapView {
 public:
  // Creates the map widget and packs it into `container`, which owns it from then on. The
  // adapter may outlive the widget: the annotations stay readable, the drawing calls do nothing.
  explicit OsmMapView(Gtk::Container& container);
  ~OsmMapView() override;
  OsmMapView(const OsmMapView&) = delete;
  OsmMapView& operator=(const OsmMapView&) = delete;

  void addAnnotation(const PointAnnotation& annotation) override;
  std::vector<PointAnnotation> annotations() const override;
  void removeAllAnnotations() override;
  void setCenterCoordinate(Coordinate center) override;
  void setZoomLevel(int level) override;
  void setMapType(MapType type) override;
  Coordinate convertPoint(ViewPoint point) const override;
  void addClickRecognizer(std::function<void(ViewPoint)> action) override;

  // The osm-gps-map widget while it exists, else null.
  GtkWidget* widget() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace stratovane::gtk
