// The location picker's map on a real osm-gps-map widget: clicks, drags, centre, types, cache.
#include "platform/gtk/OsmMapView.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtkmm/box.h>
#include <gtkmm/window.h>
#include <osm-gps-map.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "GuiTest.h"
#include "support/TempDir.h"

namespace stratovane {
namespace {

using gtk::OsmMapView;

constexpr Coordinate kHome{59.4040015148249, 17.994089135126462};

void sendPointer(GtkWidget* widget, GdkEventType type, double x, double y) {
  GdkEvent* event = gdk_event_new(type);
  GdkSeat* seat = gdk_display_get_default_seat(gdk_display_get_default());
  gdk_event_set_device(event, gdk_seat_get_pointer(seat));
  if (type == GDK_MOTION_NOTIFY) {
    event->motion.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(widget)));
    event->motion.x = x;
    event->motion.y = y;
    event->motion.state = GDK_BUTTON1_MASK;
  } else {
    event->button.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(widget)));
    event->button.x = x;
    event->button.y = y;
    event->button.button = GDK_BUTTON_PRIMARY;
    event->button.state = type == GDK_BUTTON_RELEASE ? GDK_BUTTON1_MASK : 0;
  }
  gtk_main_do_event(event);
  gdk_event_free(event);
}

std::string stringProperty(GtkWidget* widget, const char* name) {
  gchar* value = nullptr;
  g_object_get(widget, name, &value, nullptr);
  std::string result = value != nullptr ? value : "";
  g_free(value);
  return result;
}

class OsmMapViewTest : public testing::GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    if (IsSkipped()) return;
    const char* previous = std::getenv("XDG_CACHE_HOME");
    if (previous != nullptr) savedCache = previous;
    setenv("XDG_CACHE_HOME", cache.path().c_str(), 1);
    window = std::make_unique<Gtk::Window>();
    window->set_default_size(400, 300);
    auto* box = Gtk::make_managed<Gtk::Box>();
    window->add(*box);
    map = std::make_unique<OsmMapView>(*box);
    map->addClickRecognizer([this](ViewPoint point) { clicks.push_back(point); });
    window->show_all();
    settle();
  }

  // Waits for the map in place to get the window's size, as it does at the next frame.
  void settle() {
    ASSERT_TRUE(waitUntil([this] {
      return map->widget() != nullptr && gtk_widget_get_allocated_width(map->widget()) == 400;
    }));
    drain();
  }

  void TearDown() override {
    map.reset();
    window.reset();
    if (savedCache.empty()) {
      unsetenv("XDG_CACHE_HOME");
    } else {
      setenv("XDG_CACHE_HOME", savedCache.c_str(), 1);
    }
    GuiTest::TearDown();
  }

  int zoom() const {
    int value = 0;
    g_object_get(map->widget(), "zoom", &value, nullptr);
    return value;
  }

  testing::TempDir cache;
  std::string savedCache;
  std::unique_ptr<Gtk::Window> window;
  std::unique_ptr<OsmMapView> map;
  std::vector<ViewPoint> clicks;
};

TEST_F(OsmMapViewTest, AClickReportsItsPositionOnceAndADragNothing) {
  GtkWidget* widget = map->widget();
  sendPointer(widget, GDK_BUTTON_PRESS, 120, 90);
  sendPointer(widget, GDK_BUTTON_RELEASE, 121, 90);
  ASSERT_EQ(clicks.size(), 1U);
  EXPECT_EQ(clicks[0].x, 121);
  EXPECT_EQ(clicks[0].y, 90);

  // Out and back to the start is still a drag.
  sendPointer(widget, GDK_BUTTON_PRESS, 120, 90);
  sendPointer(widget, GDK_MOTION_NOTIFY, 180, 140);
  sendPointer(widget, GDK_MOTION_NOTIFY, 120, 90);
  sendPointer(widget, GDK_BUTTON_RELEASE, 120, 90);
  sendPointer(widget, GDK_BUTTON_PRESS, 50, 50);
  sendPointer(widget, GDK_BUTTON_RELEASE, 200, 200);
  EXPECT_EQ(clicks.size(), 1U);

  sendPointer(widget, GDK_BUTTON_PRESS, 30, 40);
  sendPointer(widget, GDK_BUTTON_RELEASE, 30, 40);
  EXPECT_EQ(clicks.size(), 2U);
}

TEST_F(OsmMapViewTest, TheCentreConvertsBackWithoutAChangeOfZoom) {
  EXPECT_EQ(zoom(), 11);
  map->setCenterCoordinate(kHome);
  drain();
  EXPECT_EQ(zoom(), 11);
  const Coordinate centre = map->convertPoint({200, 150});
  // One pixel at zoom 11 spans about 0.0007 degrees of longitude.
  EXPECT_NEAR(centre.latitude, kHome.latitude, 0.001);
  EXPECT_NEAR(centre.longitude, kHome.longitude, 0.001);
  const Coordinate east = map->convertPoint({300, 150});
  EXPECT_GT(east.longitude, centre.longitude + 0.05);
}

TEST_F(OsmMapViewTest, AnnotationsKeepTheirExactCoordinates) {
  map->addAnnotation({kHome, "Your location"});
  const std::vector<PointAnnotation> kept = map->annotations();
  ASSERT_EQ(kept.size(), 1U);
  EXPECT_EQ(kept[0].coordinate.latitude, 59.4040015148249);
  EXPECT_EQ(kept[0].coordinate.longitude, 17.994089135126462);
  EXPECT_EQ(kept[0].title, "Your location");

  // The marker survives a change of tiles.
  map->setMapType(MapType::satellite);
  EXPECT_EQ(map->annotations().size(), 1U);
  map->removeAllAnnotations();
  EXPECT_TRUE(map->annotations().empty());
}

TEST_F(OsmMapViewTest, TheMapTypeChangesTilesAndCreditAtOnce) {
  struct Case {
    MapType type;
    const char* tiles;
    const char* credit;
  };
  const Case cases[] = {
      {MapType::satellite, "tiles.maps.eox.at/wmts/1.0.0/s2cloudless_3857/",
       "Sentinel-2 cloudless"},
      {MapType::hybrid, "tiles.maps.eox.at/wmts/1.0.0/s2cloudless_3857/", "Labels: data"},
      {MapType::standard, "https://tile.openstreetmap.org/", "OpenStreetMap contributors"},
  };
  map->setCenterCoordinate(kHome);
  for (const Case& c : cases) {
    map->setMapType(c.type);
    settle();
    GtkWidget* widget = map->widget();
    ASSERT_NE(widget, nullptr);
    EXPECT_NE(stringProperty(widget, "repo-uri").find(c.tiles), std::string::npos);
    EXPECT_EQ(zoom(), 11);
    const Coordinate centre = map->convertPoint({200, 150});
    EXPECT_NEAR(centre.latitude, kHome.latitude, 0.001);
    EXPECT_NEAR(centre.longitude, kHome.longitude, 0.001);
    // The credit is the label laid over the map.
    GtkWidget* overlay = gtk_widget_get_parent(widget);
    bool credited = false;
    GList* children = gtk_container_get_children(GTK_CONTAINER(overlay));
    for (GList* child = children; child != nullptr; child = child->next) {
      if (GTK_IS_LABEL(child->data) && gtk_widget_get_visible(GTK_WIDGET(child->data))) {
        credited = std::string(gtk_label_get_text(GTK_LABEL(child->data))).find(c.credit) !=
                   std::string::npos;
      }
    }
    g_list_free(children);
    EXPECT_TRUE(credited) << c.credit;
  }
}

TEST_F(OsmMapViewTest, TilesAreCachedUnderTheUsersCacheDirectory) {
  const std::string tiles = stringProperty(map->widget(), "tile-cache");
  EXPECT_EQ(tiles.rfind((cache / "stratovane/").string(), 0), 0U) << tiles;
  EXPECT_NE(stringProperty(map->widget(), "user-agent").find("Stratovane/"), std::string::npos);
}

TEST_F(OsmMapViewTest, HybridDrawsCachedLabelsOverTheImagery) {
  map->setCenterCoordinate(kHome);
  // The label tile under the centre at zoom 11, as the labels fetcher would have stored it.
  const int tiles = 1 << 11;
  const double latitude = kHome.latitude * M_PI / 180;
  const int x = static_cast<int>((kHome.longitude + 180) / 360 * tiles);
  const int y = static_cast<int>((1 - std::asinh(std::tan(latitude)) / M_PI) / 2 * tiles);
  const std::filesystem::path folder =
      cache / "stratovane/eox-overlay-bright/11" / std::to_string(x);
  std::filesystem::create_directories(folder);
  GdkPixbuf* red = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, 256, 256);
  gdk_pixbuf_fill(red, 0xff0000ff);
  ASSERT_TRUE(gdk_pixbuf_save(red, (folder / (std::to_string(y) + ".png")).c_str(), "png", nullptr,
                              nullptr));
  g_object_unref(red);

  const auto centrePixel = [this] {
    GtkWidget* overlay = gtk_widget_get_parent(map->widget());
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 400, 300);
    cairo_t* cr = cairo_create(surface);
    gtk_widget_draw(overlay, cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    const auto* row =
        cairo_image_surface_get_data(surface) + 150 * cairo_image_surface_get_stride(surface);
    const uint32_t pixel = reinterpret_cast<const uint32_t*>(row)[200] & 0xffffff;
    cairo_surface_destroy(surface);
    return pixel;
  };
  map->setMapType(MapType::satellite);
  settle();
  EXPECT_NE(centrePixel(), 0xff0000U);
  map->setMapType(MapType::hybrid);
  settle();
  EXPECT_EQ(centrePixel(), 0xff0000U);
}

TEST_F(OsmMapViewTest, TheAdapterOutlivesItsWidget) {
  map->addAnnotation({kHome, "Your location"});
  window.reset();
  EXPECT_EQ(map->widget(), nullptr);
  map->setCenterCoordinate({1, 2});
  map->setMapType(MapType::hybrid);
  map->removeAllAnnotations();
  map->addAnnotation({{3, 4}, "Your location"});
  EXPECT_EQ(map->annotations().at(0).coordinate, (Coordinate{3, 4}));
  EXPECT_EQ(map->convertPoint({10, 10}), (Coordinate{1, 2}));
}

}  // namespace
}  // namespace stratovane
