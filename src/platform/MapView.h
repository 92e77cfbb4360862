// The map of the location picker: titled point annotations, a centre, a look, and clicks.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace stratovane {

struct Coordinate {
  double latitude = 0;   // degrees, north positive
  double longitude = 0;  // degrees, east positive
  friend bool operator==(const Coordinate&, const Coordinate&) = default;
};

// A position in the map view's own coordinates, in pixels from its top left corner.
struct ViewPoint {
  double x = 0;
  double y = 0;
};

struct PointAnnotation {
  Coordinate coordinate;
  std::string title;
};

enum class MapType { standard = 0, satellite = 1, hybrid = 2 };

class MapView {
 public:
  virtual ~MapView() = default;
  // Annotations keep their coordinates exactly as given, whatever precision the map draws with.
  virtual void addAnnotation(const PointAnnotation& annotation) = 0;
  virtual std::vector<PointAnnotation> annotations() const = 0;
  virtual void removeAllAnnotations() = 0;
  // Moves the map without animation and without changing its zoom level.
  virtual void setCenterCoordinate(Coordinate center) = 0;
  // The zoom level of web map tiles: 0 shows the whole world, each level doubles the scale.
  virtual void setZoomLevel(int level) = 0;
  // The look changes at once.
  virtual void setMapType(MapType type) = 0;
  // The geographic coordinate under a point of the view, as the map shows it now.
  virtual Coordinate convertPoint(ViewPoint point) const = 0;
  // The action gets the position of each single click of the primary button that did not end a
  // drag, in the view's own coordinates.
  virtual void addClickRecognizer(std::function<void(ViewPoint)> action) = 0;
};

}  // namespace stratovane
