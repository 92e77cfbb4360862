// The location picker's map on an osm-gps-map widget: tiles, marker, attribution and clicks.
#include "platform/gtk/OsmMapView.h"

#include <osm-gps-map.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>
#include <utility>

#include "platform/gtk/GuardedAction.h"
#include "platform/system/GObjectPtr.h"

namespace stratovane::gtk {

namespace {

constexpr int kInitialZoom = 11;  // a city and its districts fill the view
constexpr int kTileSize = 256;
constexpr int kDragLimit = 10;  // the map's own default: pointer travel that starts a drag
constexpr const char* kUserAgent =
    "Stratovane/" STRATOVANE_VERSION " (desktop weather application; +" STRATOVANE_WEBSITE ")";

struct TileSource {
  const char* cacheName;
  const char* uri;
  const char* imageFormat;
  int maxZoom;
};

// OpenStreetMap's standard tiles, under its tile usage policy.
constexpr TileSource kStreets{"osm-standard", "https://tile.openstreetmap.org/#Z/#X/#Y.png", "png",
                              19};
// EOX's Sentinel-2 cloudless of 2016, the year published under CC BY 4.0.
constexpr TileSource kImagery{
    "eox-s2cloudless-2016",
    "https://tiles.maps.eox.at/wmts/1.0.0/s2cloudless_3857/default/g/#Z/#Y/#X.jpg", "jpg", 16};
// EOX's transparent labels drawn from OpenStreetMap data, laid over the imagery for hybrid.
constexpr TileSource kLabels{
    "eox-overlay-bright",
    "https://tiles.maps.eox.at/wmts/1.0.0/overlay_bright_3857/default/g/#Z/#Y/#X.png", "png", 16};

constexpr const char* kStreetsCredit =
    "© <a href=\"https://www.openstreetmap.org/copyright\">OpenStreetMap</a> contributors";
// One line each in the map's corner; the providers' full wording is in the About view.
constexpr const char* kImageryCredit =
    "<a href=\"https://s2maps.eu\">Sentinel-2 cloudless 2016</a> by EOX, "
    "<a href=\"https://creativecommons.org/licenses/by/4.0/\">CC BY 4.0</a>";
constexpr const char* kLabelsCredit =
    "labels © <a href=\"https://www.openstreetmap.org/copyright\">OpenStreetMap</a> contributors, "
    "EOX";

std::string cacheDirectory(const TileSource& source) {
  const char* xdg = std::getenv("XDG_CACHE_HOME");
  std::string base;
  if (xdg != nullptr && xdg[0] == '/') {
    base = xdg;
  } else {
    base = std::string(g_get_home_dir()) + "/.cache";
  }
  return base + "/stratovane/" + source.cacheName;
}

// osm-gps-map warns for every tile download that fails or is aborted, and retries each: without
// network every pan, and every map closed while loading, would flood standard error. Its faults
// (criticals) still pass.
void quietTileLog(const gchar* domain, GLogLevelFlags level, const gchar* message, gpointer) {
  if ((level & (G_LOG_LEVEL_ERROR | G_LOG_LEVEL_CRITICAL)) != 0) {
    g_log_default_handler(domain, level, message, nullptr);
  }
}

// libsoup refuses osm-gps-map's retry of a failed or aborted tile with a critical, once per tile.
void quietRefusedRetries(const gchar* domain, GLogLevelFlags level, const gchar* message,
                         gpointer) {
  if (message != nullptr && std::strstr(message, "soup_session_real_requeue_message") != nullptr) {
    return;
  }
  g_log_default_handler(domain, level, message, nullptr);
}

// Each new map installs its own handler for the library's domain in front of ours, so ours goes
// back in front after every map is made.
void quietTileLogs() {
  static const guint soupHandler = g_log_set_handler(
      "libsoup", static_cast<GLogLevelFlags>(G_LOG_LEVEL_CRITICAL | G_LOG_FLAG_FATAL),
      quietRefusedRetries, nullptr);
  (void)soupHandler;
  static guint handler = 0;
  if (handler != 0) g_log_remove_handler("OsmGpsMap", handler);
  handler = g_log_set_handler(
      "OsmGpsMap",
      static_cast<GLogLevelFlags>(G_LOG_LEVEL_MASK | G_LOG_FLAG_FATAL | G_LOG_FLAG_RECURSION),
      quietTileLog, nullptr);
}

// The map leaves its idle redraws queued when it goes; run later, they would draw a freed map.
void dropPendingRedraws(gpointer, GObject* map) {
  while (g_idle_remove_by_data(map)) {
  }
}

GtkWidget* makeMap(const TileSource& source) {
  const std::string cache = cacheDirectory(source);
  GtkWidget* map = GTK_WIDGET(g_object_new(
      OSM_TYPE_GPS_MAP, "repo-uri", source.uri, "image-format", source.imageFormat, "max-zoom",
      source.maxZoom, "min-zoom", 1, "tile-cache", cache.c_str(), "user-agent", kUserAgent,
      "drag-limit", kDragLimit, "show-gps-point", FALSE, "record-trip-history", FALSE,
      "show-trip-history", FALSE, "auto-center", FALSE, nullptr));
  g_object_weak_ref(G_OBJECT(map), dropPendingRedraws, nullptr);
  quietTileLogs();
  return map;
}

// The overlay would give the wrapping credit the height it needs at its narrowest, and that
// window would take the clicks from the map; it gets just the corner it fills.
gboolean placeCredit(GtkOverlay* overlay, GtkWidget* child, GdkRectangle* place, gpointer) {
  if (!GTK_IS_LABEL(child)) return FALSE;
  const int width = gtk_widget_get_allocated_width(GTK_WIDGET(overlay));
  const int height = gtk_widget_get_allocated_height(GTK_WIDGET(overlay));
  int minimum = 0;
  int natural = 0;
  gtk_widget_get_preferred_width(child, &minimum, &natural);
  place->width = std::max(minimum, std::min(natural, width));
  gtk_widget_get_preferred_height_for_width(child, place->width, &minimum, &natural);
  place->height = natural;
  place->x = width - place->width;
  place->y = height - place->height;
  return TRUE;
}

gboolean destroyRetired(gpointer map) {
  gtk_widget_destroy(GTK_WIDGET(map));
  g_object_unref(map);
  return G_SOURCE_REMOVE;
}

void destroyWhenIdle(GObject* map, GParamSpec*, gpointer) {
  int queued = 0;
  g_object_get(map, "tiles-queued", &queued, nullptr);
  if (queued != 0) return;
  g_signal_handlers_disconnect_by_func(map, reinterpret_cast<gpointer>(destroyWhenIdle), nullptr);
  g_idle_add(destroyRetired, map);
}

// Destroying a map frees its download table, yet libsoup reports aborted downloads later from the
// main loop, into the freed table. So a retired map, unparented and holding the reference passed
// in, stops fetching and is destroyed once no download is under way. A download whose retry
// libsoup refused stays queued for good: such a map is kept until the process ends.
void retire(GtkWidget* map) {
  g_object_set(map, "auto-download", FALSE, nullptr);
  g_signal_connect(map, "notify::tiles-queued", G_CALLBACK(destroyWhenIdle), nullptr);
  destroyWhenIdle(G_OBJECT(map), nullptr, nullptr);
}

void retireChild(GtkWidget* parent, GtkWidget* map) {
  g_object_ref(map);
  gtk_container_remove(GTK_CONTAINER(parent), map);
  retire(map);
}

// Runs before the container destroys its children, whether or not an adapter still exists.
void retireMaps(GtkWidget* root, gpointer) {
  GList* children = gtk_container_get_children(GTK_CONTAINER(root));
  for (GList* child = children; child != nullptr; child = child->next) {
    if (OSM_GPS_MAP_IS_MAP(child->data)) retireChild(root, GTK_WIDGET(child->data));
  }
  g_list_free(children);
}

// A red pin with the title beside it on a light plate; the pin's tip is the coordinate.
struct MarkerPicture {
  GObjectPtr<GdkPixbuf> pixbuf;
  float tipX = 0;  // the tip's position as a fraction of the picture's width
};

MarkerPicture drawMarker(const std::string& title) {
  constexpr double kPin = 11;     // radius of the pin's head
  constexpr double kHeight = 34;  // head plus stem
  constexpr double kPadding = 4;
  GObjectPtr<PangoFontMap> fontMap(pango_cairo_font_map_new());
  GObjectPtr<PangoContext> context(pango_font_map_create_context(fontMap.get()));
  GObjectPtr<PangoLayout> layout(pango_layout_new(context.get()));
  pango_layout_set_text(layout.get(), title.c_str(), -1);
  PangoFontDescription* font = pango_font_description_from_string("Sans Bold 10");
  pango_layout_set_font_description(layout.get(), font);
  pango_font_description_free(font);
  int textWidth = 0;
  int textHeight = 0;
  pango_layout_get_pixel_size(layout.get(), &textWidth, &textHeight);

  const double plateX = 2 * kPin + 4;
  const int width = static_cast<int>(plateX + (title.empty() ? 0 : textWidth + 2 * kPadding)) + 2;
  const int height = static_cast<int>(kHeight) + 2;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  cairo_t* cr = cairo_create(surface);

  const double cx = kPin + 1;
  const double cy = kPin + 1;
  cairo_move_to(cr, cx, kHeight);
  cairo_arc(cr, cx, cy, kPin, M_PI * 0.75, M_PI * 2.25);
  cairo_close_path(cr);
  cairo_set_source_rgb(cr, 0.86, 0.16, 0.12);
  cairo_fill_preserve(cr);
  cairo_set_source_rgb(cr, 0.45, 0.05, 0.03);
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
  cairo_arc(cr, cx, cy, kPin / 2.6, 0, 2 * M_PI);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_fill(cr);

  if (!title.empty()) {
    const double plateY = cy - textHeight / 2.0 - kPadding / 2;
    cairo_rectangle(cr, plateX, plateY, textWidth + 2 * kPadding, textHeight + kPadding);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.88);
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_move_to(cr, plateX + kPadding, plateY + kPadding / 2);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    pango_cairo_show_layout(cr, layout.get());
  }
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  MarkerPicture picture{
      GObjectPtr<GdkPixbuf>(gdk_pixbuf_get_from_surface(surface, 0, 0, width, height)),
      static_cast<float>(cx / width)};
  cairo_surface_destroy(surface);
  return picture;
}

}  // namespace

struct OsmMapView::State {
  GtkWidget* root = nullptr;         // overlay in the container; null once destroyed
  GtkWidget* map = nullptr;          // the current tile map inside the overlay
  GtkWidget* labelsArea = nullptr;   // draws hybrid's labels over the imagery
  GtkWidget* attribution = nullptr;  // the providers' credit, bottom right

  std::vector<PointAnnotation> annotations;  // exact coordinates; the widget only draws floats
  std::unordered_map<std::string, MarkerPicture> markers;
  Coordinate center;
  MapType type = MapType::standard;
  const char* tiles = nullptr;  // the tile address of the map shown
  std::vector<std::function<void(ViewPoint)>> clickActions;

  // Press of the primary button not yet known to be a click or the start of a drag.
  bool pressed = false;
  bool dragging = false;
  double pressX = 0;
  double pressY = 0;
  double dragX = 0;
  double dragY = 0;

  // Hybrid's labels: a map never shown fetches and caches the tiles, the labels area draws them.
  GObjectPtr<GtkWidget> labelsFetcher;
  gulong labelsQueued = 0;
  // Where the fetcher stores the tiles; found once, not for every tile of every frame.
  const std::string labelsCache = cacheDirectory(kLabels);
  std::unordered_map<std::string, GObjectPtr<GdkPixbuf>> labelTiles;

  const MarkerPicture& marker(const std::string& title) {
    auto found = markers.find(title);
    if (found == markers.end()) found = markers.emplace(title, drawMarker(title)).first;
    return found->second;
  }

  void drawAnnotations() {
    if (map == nullptr) return;
    osm_gps_map_image_remove_all(OSM_GPS_MAP(map));
    for (const PointAnnotation& annotation : annotations) {
      const MarkerPicture& picture = marker(annotation.title);
      osm_gps_map_image_add_with_alignment(OSM_GPS_MAP(map),
                                           static_cast<float>(annotation.coordinate.latitude),
                                           static_cast<float>(annotation.coordinate.longitude),
                                           picture.pixbuf.get(), picture.tipX, 1.0F);
    }
  }

  void showCredit() {
    if (attribution == nullptr) return;
    std::string credit;
    switch (type) {
      case MapType::standard:
        credit = kStreetsCredit;
        break;
      case MapType::satellite:
        credit = kImageryCredit;
        break;
      case MapType::hybrid:
        credit = std::string(kImageryCredit) + "; " + kLabelsCredit;
        break;
    }
    gtk_label_set_markup(GTK_LABEL(attribution), ("<small>" + credit + "</small>").c_str());
  }

  void installMap(const TileSource& source) {
    if (map != nullptr && source.uri == tiles) {
      // Satellite and hybrid share the imagery: only the labels and the credit change.
      showCredit();
      fetchLabels();
      gtk_widget_queue_draw(labelsArea);
      return;
    }
    tiles = source.uri;
    float latitude = static_cast<float>(center.latitude);
    float longitude = static_cast<float>(center.longitude);
    int zoom = kInitialZoom;
    if (map != nullptr) {
      // Keep the view the user panned and zoomed to.
      g_object_get(map, "latitude", &latitude, "longitude", &longitude, "zoom", &zoom, nullptr);
      g_signal_handlers_disconnect_by_data(map, this);
      retireChild(root, map);
    }
    map = makeMap(source);
    gtk_widget_add_events(map, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                   GDK_POINTER_MOTION_MASK | GDK_BUTTON1_MOTION_MASK);
    g_signal_connect(map, "button-press-event", G_CALLBACK(onPress), this);
    g_signal_connect(map, "motion-notify-event", G_CALLBACK(onMotion), this);
    g_signal_connect(map, "button-release-event", G_CALLBACK(onRelease), this);
    g_signal_connect(map, "changed", G_CALLBACK(onViewChanged), this);
    gtk_widget_set_hexpand(map, TRUE);
    gtk_widget_set_vexpand(map, TRUE);
    osm_gps_map_set_zoom(OSM_GPS_MAP(map), zoom);
    osm_gps_map_set_center(OSM_GPS_MAP(map), latitude, longitude);
    gtk_container_add(GTK_CONTAINER(root), map);
    gtk_widget_show(map);
    pressed = false;
    dragging = false;
    drawAnnotations();
    showCredit();
    fetchLabels();
    if (labelsArea != nullptr) gtk_widget_queue_draw(labelsArea);
  }

  void fetchLabels() {
    if (type != MapType::hybrid || map == nullptr || !gtk_widget_get_realized(map)) return;
    if (!labelsFetcher) {
      labelsFetcher.reset(GTK_WIDGET(g_object_ref_sink(makeMap(kLabels))));
      labelsQueued = g_signal_connect_swapped(labelsFetcher.get(), "notify::tiles-queued",
                                              G_CALLBACK(gtk_widget_queue_draw), labelsArea);
    }
    OsmGpsMapPoint northWest{};
    OsmGpsMapPoint southEast{};
    osm_gps_map_get_bbox(OSM_GPS_MAP(map), &northWest, &southEast);
    int zoom = 0;
    g_object_get(map, "zoom", &zoom, nullptr);
    osm_gps_map_download_maps(OSM_GPS_MAP(labelsFetcher.get()), &northWest, &southEast, zoom, zoom);
  }

  GdkPixbuf* labelTile(int zoom, int x, int y) {
    std::string path = labelsCache + "/" + std::to_string(zoom) + "/" + std::to_string(x) + "/" +
                       std::to_string(y) + "." + kLabels.imageFormat;
    auto found = labelTiles.find(path);
    if (found != labelTiles.end()) return found->second.get();
    if (!g_file_test(path.c_str(), G_FILE_TEST_EXISTS)) return nullptr;
    GdkPixbuf* tile = gdk_pixbuf_new_from_file(path.c_str(), nullptr);
    if (tile == nullptr) return nullptr;
    if (labelTiles.size() > 64) labelTiles.clear();
    return labelTiles.emplace(std::move(path), GObjectPtr<GdkPixbuf>(tile)).first->second.get();
  }

  void drawLabels(cairo_t* cr) {
    if (type != MapType::hybrid || map == nullptr) return;
    int zoom = 0;
    int mapX = 0;
    int mapY = 0;
    g_object_get(map, "zoom", &zoom, "map-x", &mapX, "map-y", &mapY, nullptr);
    // While dragging, the map shows its picture shifted by the pointer's travel.
    const int left = mapX - (dragging ? static_cast<int>(dragX - pressX) : 0);
    const int top = mapY - (dragging ? static_cast<int>(dragY - pressY) : 0);
    const int tiles = 1 << zoom;
    const int width = gtk_widget_get_allocated_width(labelsArea);
    const int height = gtk_widget_get_allocated_height(labelsArea);
    const int firstX = static_cast<int>(std::floor(static_cast<double>(left) / kTileSize));
    const int firstY = static_cast<int>(std::floor(static_cast<double>(top) / kTileSize));
    for (int x = firstX; x * kTileSize < left + width; ++x) {
      for (int y = std::max(firstY, 0); y < tiles && y * kTileSize < top + height; ++y) {
        GdkPixbuf* tile = labelTile(zoom, ((x % tiles) + tiles) % tiles, y);
        if (tile == nullptr) continue;
        gdk_cairo_set_source_pixbuf(cr, tile, x * kTileSize - left, y * kTileSize - top);
        cairo_paint(cr);
      }
    }
  }

  static gboolean onPress(GtkWidget*, GdkEventButton* event, State* state) {
    if (event->type == GDK_BUTTON_PRESS && event->button == GDK_BUTTON_PRIMARY) {
      state->pressed = true;
      state->dragging = false;
      state->pressX = state->dragX = event->x;
      state->pressY = state->dragY = event->y;
    }
    return FALSE;  // the map still starts its own drag
  }

  static gboolean onMotion(GtkWidget*, GdkEventMotion* event, State* state) {
    if (!state->pressed) return FALSE;
    state->dragX = event->x;
    state->dragY = event->y;
    const double dx = event->x - state->pressX;
    const double dy = event->y - state->pressY;
    if (dx * dx + dy * dy >= kDragLimit * kDragLimit) state->dragging = true;
    if (state->dragging && state->labelsArea != nullptr) gtk_widget_queue_draw(state->labelsArea);
    return FALSE;
  }

  static gboolean onRelease(GtkWidget*, GdkEventButton* event, State* state) {
    if (event->button != GDK_BUTTON_PRIMARY || !state->pressed) return FALSE;
    const double dx = event->x - state->pressX;
    const double dy = event->y - state->pressY;
    const bool click = !state->dragging && dx * dx + dy * dy < kDragLimit * kDragLimit;
    state->pressed = false;
    state->dragging = false;
    if (!click) return FALSE;
    const ViewPoint point{event->x, event->y};
    // Copies: an action may add another recogniser.
    const auto actions = state->clickActions;
    for (const auto& action : actions) runGuarded([&action, point] { action(point); });
    return FALSE;
  }

  static void onViewChanged(GtkWidget*, State* state) {
    state->fetchLabels();
    if (state->labelsArea != nullptr) gtk_widget_queue_draw(state->labelsArea);
  }

  static gboolean onDrawLabels(GtkWidget*, cairo_t* cr, State* state) {
    state->drawLabels(cr);
    return FALSE;
  }

  static void onRootDestroyed(GtkWidget*, State* state) { state->forgetWidgets(); }

  void forgetWidgets() {
    if (map != nullptr) g_signal_handlers_disconnect_by_data(map, this);
    if (labelsFetcher) {
      g_signal_handler_disconnect(labelsFetcher.get(), labelsQueued);
      retire(labelsFetcher.release());
    }
    labelsQueued = 0;
    root = nullptr;
    map = nullptr;
    labelsArea = nullptr;
    attribution = nullptr;
  }
};

OsmMapView::OsmMapView(Gtk::Container& container) : state_(std::make_unique<State>()) {
  State& state = *state_;
  state.root = gtk_overlay_new();
  g_signal_connect(state.root, "destroy", G_CALLBACK(retireMaps), nullptr);
  g_signal_connect(state.root, "get-child-position", G_CALLBACK(placeCredit), nullptr);
  g_signal_connect(state.root, "destroy", G_CALLBACK(State::onRootDestroyed), &state);

  state.labelsArea = gtk_drawing_area_new();
  // Without a window of its own, the clicks on it go through to the map below.
  gtk_widget_set_has_window(state.labelsArea, FALSE);
  g_signal_connect(state.labelsArea, "draw", G_CALLBACK(State::onDrawLabels), &state);
  gtk_overlay_add_overlay(GTK_OVERLAY(state.root), state.labelsArea);
  gtk_overlay_set_overlay_pass_through(GTK_OVERLAY(state.root), state.labelsArea, TRUE);

  // The credit's links stay clickable, so it takes the clicks on it from the map.
  state.attribution = gtk_label_new(nullptr);
  gtk_label_set_line_wrap(GTK_LABEL(state.attribution), TRUE);
  gtk_label_set_xalign(GTK_LABEL(state.attribution), 1);
  gtk_label_set_justify(GTK_LABEL(state.attribution), GTK_JUSTIFY_RIGHT);
  gtk_widget_set_halign(state.attribution, GTK_ALIGN_END);
  gtk_widget_set_valign(state.attribution, GTK_ALIGN_END);
  gtk_widget_set_name(state.attribution, "map-attribution");
  GObjectPtr<GtkCssProvider> css(gtk_css_provider_new());
  gtk_css_provider_load_from_data(
      css.get(),
      "#map-attribution { background-color: rgba(255,255,255,0.8); color: #222; padding: 1px "
      "4px; }",
      -1, nullptr);
  gtk_style_context_add_provider(gtk_widget_get_style_context(state.attribution),
                                 GTK_STYLE_PROVIDER(css.get()),
                                 GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  gtk_overlay_add_overlay(GTK_OVERLAY(state.root), state.attribution);

  state.installMap(kStreets);

  gtk_widget_set_hexpand(state.root, TRUE);
  gtk_widget_set_vexpand(state.root, TRUE);
  gtk_widget_show_all(state.root);
  GtkWidget* holder = GTK_WIDGET(container.gobj());
  if (GTK_IS_BOX(holder)) {
    gtk_box_pack_start(GTK_BOX(holder), state.root, TRUE, TRUE, 0);
  } else {
    gtk_container_add(GTK_CONTAINER(holder), state.root);
  }
}

OsmMapView::~OsmMapView() {
  if (state_->root == nullptr) return;
  // The widgets stay with their container; they must no longer call back into this state.
  g_signal_handlers_disconnect_by_data(state_->root, state_.get());
  g_signal_handlers_disconnect_by_data(state_->labelsArea, state_.get());
  state_->forgetWidgets();
}

void OsmMapView::addAnnotation(const PointAnnotation& annotation) {
  state_->annotations.push_back(annotation);
  state_->drawAnnotations();
}

std::vector<PointAnnotation> OsmMapView::annotations() const {
  return state_->annotations;
}

void OsmMapView::removeAllAnnotations() {
  state_->annotations.clear();
  state_->drawAnnotations();
}

void OsmMapView::setCenterCoordinate(Coordinate center) {
  state_->center = center;
  if (state_->map == nullptr) return;
  osm_gps_map_set_center(OSM_GPS_MAP(state_->map), static_cast<float>(center.latitude),
                         static_cast<float>(center.longitude));
}

void OsmMapView::setZoomLevel(int level) {
  if (state_->map == nullptr) return;
  // The map clamps the level to what its tiles offer.
  osm_gps_map_set_zoom(OSM_GPS_MAP(state_->map), level);
}

void OsmMapView::setMapType(MapType type) {
  if (type != MapType::standard && type != MapType::satellite && type != MapType::hybrid) return;
  if (type == state_->type) return;
  state_->type = type;
  if (state_->root == nullptr) return;
  state_->installMap(type == MapType::standard ? kStreets : kImagery);
}

Coordinate OsmMapView::convertPoint(ViewPoint point) const {
  if (state_->map == nullptr) return state_->center;
  OsmGpsMapPoint where{};
  osm_gps_map_convert_screen_to_geographic(OSM_GPS_MAP(state_->map),
                                           static_cast<gint>(std::lround(point.x)),
                                           static_cast<gint>(std::lround(point.y)), &where);
  float latitude = 0;
  float longitude = 0;
  osm_gps_map_point_get_degrees(&where, &latitude, &longitude);
  return {latitude, longitude};
}

void OsmMapView::addClickRecognizer(std::function<void(ViewPoint)> action) {
  state_->clickActions.push_back(std::move(action));
}

GtkWidget* OsmMapView::widget() const {
  return state_->map;
}

}  // namespace stratovane::gtk
