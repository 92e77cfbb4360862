// The location picker's map on a real osm-gps-map widget: clicks, drags, centre, types, cache.
#include "platform/gtk/OsmMapView.h"

#include <gtkmm/box.h>
#include <gtkmm/window.h>
#include <osm-gps-map.h>

#include <chrono>
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

constexpr Coordinate kHome{59.4040015148249, 17.994089135126462};
// The width-request of the map in the settings view's interface file.
constexpr int kNarrowestMap = 560;

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
    setenv("XDG_CACHE_HOME", cache.path().c_str(), 1);
    window = std::make_unique<Gtk::Window>();
    window->set_default_size(400, 300);
    auto* box = Gtk::make_managed<Gtk::Box>();
    window->add(*box);
    map = std::make_unique<gtk::OsmMapView>(*box);
    map->addClickRecognizer([this](ViewPoint point) { clicks.push_back(point); });
    map->setCenterCoordinate(kHome);
    window->show_all();
    settle();
  }

  void TearDown() override {
    map.reset();
    window.reset();
    unsetenv("XDG_CACHE_HOME");
    GuiTest::TearDown();
  }

  // Waits for the map in place to get the window's size, as it does at the next frame.
  void settle() {
    ASSERT_TRUE(waitUntil([this] {
      return map->widget() != nullptr && gtk_widget_get_allocated_width(map->widget()) == 400;
    }));
    drain();
  }

  // The widgets laid over the map: the plain drawing area of the labels and the credit.
  template <class Predicate>
  GtkWidget* overlaid(Predicate matches) {
    GtkWidget* found = nullptr;
    GList* children =
        gtk_container_get_children(GTK_CONTAINER(gtk_widget_get_parent(map->widget())));
    for (GList* child = children; child != nullptr; child = child->next) {
      if (matches(child->data) && !OSM_GPS_MAP_IS_MAP(child->data)) found = GTK_WIDGET(child->data);
    }
    g_list_free(children);
    return found;
  }

  testing::TempDir cache;
  std::unique_ptr<Gtk::Window> window;
  std::unique_ptr<gtk::OsmMapView> map;
  std::vector<ViewPoint> clicks;
};

// The X server's test extension moves and presses like a user, so the windows laid over the map
// take their part.
TEST_F(OsmMapViewTest, AClickReportsItsPositionOnceAndADragOnlyMovesTheMap) {
  int left = 0;
  int top = 0;
  gdk_window_get_origin(gtk_widget_get_window(GTK_WIDGET(window->gobj())), &left, &top);
  const auto pointer = [&](int x, int y, int press) {
    testing::fakePointer(left + x, top + y, press);
    spin(std::chrono::milliseconds(50));
  };

  map->setMapType(MapType::hybrid);  // the longest credit, over the lower part of the map
  settle();
  pointer(200, 210, 1);
  pointer(200, 210, 0);
  ASSERT_TRUE(waitUntil([this] { return !clicks.empty(); }));
  EXPECT_EQ(clicks[0].x, 200);
  EXPECT_EQ(clicks[0].y, 210);

  const Coordinate before = map->convertPoint({200, 150});
  pointer(100, 100, 1);
  pointer(160, 140, 0);
  drain();
  EXPECT_EQ(clicks.size(), 1U);
  EXPECT_LT(map->convertPoint({200, 150}).longitude, before.longitude - 0.03);

  pointer(30, 40, 1);
  pointer(30, 40, 0);
  EXPECT_TRUE(waitUntil([this] { return clicks.size() == 2; }));
}

TEST_F(OsmMapViewTest, EachTypeShowsItsTilesCreditAndLabelsAndTheStateOutlivesTheWidget) {
  // A red label tile under the centre at zoom 11, where the labels fetcher stores it.
  const double tiles = 1 << 11;
  const double latitude = kHome.latitude * M_PI / 180;
  const int x = static_cast<int>((kHome.longitude + 180) / 360 * tiles);
  const int y = static_cast<int>((1 - std::asinh(std::tan(latitude)) / M_PI) / 2 * tiles);
  const std::filesystem::path folder =
      cache / "stratovane/eox-overlay-bright/11" / std::to_string(x);
  std::filesystem::create_directories(folder);
  GdkPixbuf* red = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, 256, 256);
  gdk_pixbuf_fill(red, 0xff0000ff);
  gdk_pixbuf_save(red, (folder / (std::to_string(y) + ".png")).c_str(), "png", nullptr, nullptr);
  g_object_unref(red);
  const auto centrePixel = [this] {
    GtkWidget* labels = overlaid([](gpointer w) { return GTK_IS_DRAWING_AREA(w); });
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 400, 300);
    cairo_t* cr = cairo_create(surface);
    gtk_widget_draw(labels, cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    const unsigned char* row =
        cairo_image_surface_get_data(surface) + 150 * cairo_image_surface_get_stride(surface);
    const uint32_t pixel = reinterpret_cast<const uint32_t*>(row)[200] & 0xffffff;
    cairo_surface_destroy(surface);
    return pixel;
  };

  struct Case {
    MapType type;
    const char* tiles;
    const char* cache;
    const char* credit;
  };
  const Case cases[] = {
      {MapType::standard, "https://tile.openstreetmap.org/", "osm-standard",
       "© OpenStreetMap contributors"},
      {MapType::satellite, "https://tiles.maps.eox.at/wmts/1.0.0/s2cloudless_3857/",
       "eox-s2cloudless-2016", "Sentinel-2 cloudless 2016 by EOX, CC BY 4.0"},
      {MapType::hybrid, "https://tiles.maps.eox.at/wmts/1.0.0/s2cloudless_3857/",
       "eox-s2cloudless-2016",
       "Sentinel-2 cloudless 2016 by EOX, CC BY 4.0; labels © OpenStreetMap contributors, EOX"},
  };
  map->addAnnotation({kHome, "Your location"});
  map->setMapType(MapType::hybrid);  // each case then changes the tiles or the labels
  for (const Case& c : cases) {
    map->setMapType(c.type);
    settle();
    GtkWidget* widget = map->widget();
    EXPECT_EQ(stringProperty(widget, "repo-uri").rfind(c.tiles, 0), 0U);
    EXPECT_EQ(stringProperty(widget, "tile-cache"), (cache / "stratovane" / c.cache).string());
    EXPECT_NE(stringProperty(widget, "user-agent").find("Stratovane/"), std::string::npos);
    int zoom = 0;
    g_object_get(widget, "zoom", &zoom, nullptr);
    EXPECT_EQ(zoom, 11);
    // A pixel at zoom 11 spans about 0.0007 degrees of longitude.
    const Coordinate centre = map->convertPoint({200, 150});
    EXPECT_NEAR(centre.latitude, kHome.latitude, 0.001);
    EXPECT_NEAR(centre.longitude, kHome.longitude, 0.001);
    EXPECT_GT(map->convertPoint({300, 150}).longitude, centre.longitude + 0.05);
    GtkWidget* label = overlaid([](gpointer w) { return GTK_IS_LABEL(w); });
    EXPECT_EQ(gtk_label_get_text(GTK_LABEL(label)), std::string(c.credit));
    // One line over the settings view's map at its narrowest.
    int oneLine = 0;
    int atNarrowest = 0;
    gtk_widget_get_preferred_height_for_width(label, 10000, nullptr, &oneLine);
    gtk_widget_get_preferred_height_for_width(label, kNarrowestMap, nullptr, &atNarrowest);
    EXPECT_EQ(atNarrowest, oneLine) << c.credit;
    EXPECT_EQ(centrePixel() == 0xff0000U, c.type == MapType::hybrid);
  }

  // The settings window goes before its controller reads the place to store.
  window.reset();
  EXPECT_EQ(map->widget(), nullptr);
  EXPECT_EQ(map->annotations().at(0).coordinate, kHome);
  map->setCenterCoordinate({1, 2});
  map->setMapType(MapType::hybrid);
  map->removeAllAnnotations();
  map->addAnnotation({{3, 4}, "Your location"});
  EXPECT_EQ(map->annotations().at(0).coordinate, (Coordinate{3, 4}));
  EXPECT_EQ(map->convertPoint({10, 10}), (Coordinate{1, 2}));
}

}  // namespace
}  // namespace stratovane
