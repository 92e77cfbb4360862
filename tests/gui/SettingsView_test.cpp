// The settings view with its real interface file, widgets and map: outlets, clicks and closing,
// and its place search typed into.
#include <gio/gio.h>
#include <gtk/gtk.h>
#include <gtkmm/button.h>
#include <gtkmm/container.h>
#include <gtkmm/label.h>
#include <gtkmm/treeview.h>
#include <gtkmm/window.h>
#include <osm-gps-map.h>

#include <chrono>
#include <cstdlib>
#include <mutex>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include "GuiTest.h"
#include "PrivateBus.h"
#include "platform/Settings.h"
#include "platform/gtk/GtkInterfaceLoader.h"
#include "platform/gtk/GtkSearchFieldAdapter.h"
#include "platform/gtk/GtkViewAdapter.h"
#include "platform/gtk/GtkViewPresenter.h"
#include "platform/gtk/OsmMapView.h"
#include "platform/system/CurlHttpLoader.h"
#include "platform/system/FileUserDefaults.h"
#include "platform/system/GLibMainQueue.h"
#include "platform/system/GLibRunLoop.h"
#include "platform/system/GeoClueLocation.h"
#include "platform/system/ThreadPoolQueue.h"
#include "settings/ViewController.h"
#include "support/FakePlatform.h"
#include "support/HttpTestServer.h"
#include "support/TempDir.h"

namespace stratovane {
namespace {

using namespace std::chrono_literals;
using gtk::GtkSearchFieldAdapter;
using gtk::GtkViewAdapter;

// The widget with this id in the interface file, looking into menu buttons' popovers too.
GtkWidget* findByName(GtkWidget* widget, const std::string& name) {
  const char* id = gtk_buildable_get_name(GTK_BUILDABLE(widget));
  if (id != nullptr && name == id) return widget;
  std::vector<GtkWidget*> below;
  if (GTK_IS_MENU_BUTTON(widget) && gtk_menu_button_get_popover(GTK_MENU_BUTTON(widget)))
    below.push_back(GTK_WIDGET(gtk_menu_button_get_popover(GTK_MENU_BUTTON(widget))));
  if (GTK_IS_CONTAINER(widget))
    for (Gtk::Widget* child : Glib::wrap(GTK_CONTAINER(widget))->get_children())
      below.push_back(child->gobj());
  for (GtkWidget* child : below)
    if (GtkWidget* found = findByName(child, name)) return found;
  return nullptr;
}

// Delivers a made-up press or release of the first button to the window of `widget` as if the
// display had sent it.
void sendButton(GdkEventType type, GtkWidget* widget, double x, double y) {
  GdkEvent* event = gdk_event_new(type);
  event->any.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(widget)));
  gdk_event_set_device(
      event, gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default())));
  event->button.x = x;
  event->button.y = y;
  event->button.button = GDK_BUTTON_PRIMARY;
  event->button.state = type == GDK_BUTTON_RELEASE ? GDK_BUTTON1_MASK : 0;
  gtk_main_do_event(event);
  gdk_event_free(event);
}

class SettingsViewTest : public testing::GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    if (IsSkipped()) return;
    setenv("XDG_CACHE_HOME", cache.path().c_str(), 1);
    defaults.registerDefaults({registeredDefaults.begin(), registeredDefaults.end()});
    notifications.addObserver(SettingsChanged, [this] { ++settingsChanged; });
    // Made here rather than by the map module, which tests do not look for.
    loader.setMapFactory(
        [](Gtk::Container& container) { return std::make_shared<gtk::OsmMapView>(container); });
  }

  void TearDown() override {
    controller.reset();
    view.reset();
    drain();
    unsetenv("XDG_CACHE_HOME");
    GuiTest::TearDown();
  }

  bool load() {
    controller =
        std::make_shared<ViewController>(defaults, notifications, browser, nullptr, placeSearch);
    view = loader.loadView("Main", "ViewController", controller->connections());
    if (!view) return false;
    controller->viewDidLoad();
    return true;
  }

  // Shows the view as "Settings" does and waits until it is drawn.
  void present(PresentationStyle style) {
    ASSERT_TRUE(load());
    presenter.present(view, style,
                      {.viewWillAppear = [c = controller] { c->viewWillAppear(); },
                       .viewDidDisappear = [c = controller] { c->viewDidDisappear(); }});
    ASSERT_TRUE(waitUntil([&] {
      GtkWidget* map = mapWidget();
      return window().get_mapped() && map != nullptr && gtk_widget_get_allocated_width(map) > 100;
    }));
    drain();
  }

  Gtk::Window& window() { return dynamic_cast<GtkViewAdapter&>(*view).window(); }
  GtkWidget* named(const std::string& name) {
    return findByName(GTK_WIDGET(window().gobj()), name);
  }
  GtkWidget* mapWidget() { return dynamic_cast<gtk::OsmMapView&>(*controller->mapView).widget(); }

  testing::TempDir cache;
  FileUserDefaults defaults{""};
  NotificationCenter notifications;
  testing::FakeWorkspace browser;
  gtk::GtkInterfaceLoader loader;
  gtk::GtkViewPresenter presenter;
  std::shared_ptr<ViewController> controller;
  std::shared_ptr<View> view;
  int settingsChanged = 0;
  std::optional<PlaceSearchServices> placeSearch;
};

std::vector<std::int64_t> tags(const PopUpButton& popUp) {
  std::vector<std::int64_t> result;
  for (const PopUpItem& item : popUp.items()) result.push_back(item.tag);
  return result;
}

TEST_F(SettingsViewTest, TheInterfaceFileConnectsEveryOutletAndItsItemsCarryTheirTags) {
  ASSERT_TRUE(load()) << "an outlet was left unconnected";
  EXPECT_EQ(controller->apiKeyView().getApiText->title(), STRATOVANE_VERSION);
  EXPECT_EQ(controller->aboutView().aboutText->title(), STRATOVANE_VERSION);

  EXPECT_EQ(tags(*controller->statusBarOption), (std::vector<std::int64_t>{-1, 0, 1, 2, 3, 4}));
  EXPECT_EQ(controller->updateInterval->selectedTag(), 30);
  std::vector<std::int64_t> indices(feedLanguages.size());
  std::iota(indices.begin(), indices.end(), 0);
  ASSERT_EQ(tags(*controller->languageSelect), indices);
  const std::vector<PopUpItem> languages = controller->languageSelect->items();
  EXPECT_EQ(languages[2].title, "English");
  EXPECT_EQ(languages[17].title, "Svenska");
  EXPECT_EQ(tags(*controller->numberOfDecimals), (std::vector<std::int64_t>{0, 1, 2}));
  EXPECT_EQ(controller->units->segmentCount(), 2);
  EXPECT_EQ(controller->mapType->segmentCount(), 3);

  // Pop-ups and segments behave as the controller expects.
  EXPECT_FALSE(controller->languageSelect->selectItemWithTag(40));
  EXPECT_EQ(controller->languageSelect->selectedTag(), 2);
  controller->units->setSelectedSegment(7);
  EXPECT_EQ(controller->units->selectedSegment(), -1);
  controller->weatherService->addItem("https://proxy.test/onecall", WeatherServiceTag::custom);
  EXPECT_TRUE(controller->weatherService->selectItemWithTag(WeatherServiceTag::custom));
  EXPECT_EQ(controller->weatherService->items().back().title, "https://proxy.test/onecall");
}

TEST_F(SettingsViewTest, AMapClickAndTheTypeActAtOnceItsPopoversKeepItOpenFocusElsewhereStores) {
  ASSERT_NO_FATAL_FAILURE(present(PresentationStyle::transient));
  ASSERT_TRUE(waitUntil([&] { return window().is_active(); })) << "the view never got the focus";
  GtkWidget* map = mapWidget();
  sendButton(GDK_BUTTON_PRESS, map, 90, 70);
  sendButton(GDK_BUTTON_RELEASE, map, 90, 70);
  const std::vector<PointAnnotation> marks = controller->mapView->annotations();
  ASSERT_EQ(marks.size(), 1U);
  EXPECT_EQ(marks[0].title, "Your location");
  const Coordinate clicked = controller->mapView->convertPoint({90, 70});
  EXPECT_NEAR(marks[0].coordinate.latitude, clicked.latitude, 1e-9);
  EXPECT_NE(marks[0].coordinate.latitude, 59.4040015148249);

  // The second segment of the map type, clicked as the user does.
  GtkWidget* types = named("mapType");
  ASSERT_NE(types, nullptr);
  GList* segments = gtk_container_get_children(GTK_CONTAINER(types));
  gtk_button_clicked(GTK_BUTTON(g_list_nth_data(segments, 1)));
  g_list_free(segments);
  gchar* tiles = nullptr;
  g_object_get(mapWidget(), "repo-uri", &tiles, nullptr);
  EXPECT_NE(std::string(tiles != nullptr ? tiles : "").find("s2cloudless"), std::string::npos);
  g_free(tiles);
  EXPECT_EQ(defaults.integerForKey(SettingsKey::mapType), 0);

  gtk_button_clicked(GTK_BUTTON(named("apiKeyButton")));
  spin(std::chrono::milliseconds(3 * gtk::GtkViewPresenter::kFocusGraceMilliseconds));
  EXPECT_TRUE(window().get_visible());
  gtk_button_clicked(GTK_BUTTON(named("gotoDarksky")));  // opens the site, closes the popover
  // Popped up from a press, as a click on it does.
  GtkWidget* languages = named("languageSelect");
  const gulong handler = g_signal_connect_swapped(window().gobj(), "button-press-event",
                                                  G_CALLBACK(gtk_combo_box_popup), languages);
  sendButton(GDK_BUTTON_PRESS, GTK_WIDGET(window().gobj()), 5, 5);
  g_signal_handler_disconnect(window().gobj(), handler);
  EXPECT_NE(gtk_grab_get_current(), nullptr) << "the list did not open";
  spin(std::chrono::milliseconds(3 * gtk::GtkViewPresenter::kFocusGraceMilliseconds));
  EXPECT_TRUE(window().get_visible());
  gtk_combo_box_popdown(GTK_COMBO_BOX(languages));
  spin(std::chrono::milliseconds(3 * gtk::GtkViewPresenter::kFocusGraceMilliseconds));
  ASSERT_TRUE(window().get_visible());
  EXPECT_EQ(settingsChanged, 0);

  // Another X client takes the focus.
  const testing::ForeignWindow elsewhere;
  EXPECT_TRUE(waitUntil([&] { return settingsChanged == 1; }));
  EXPECT_FALSE(window().get_visible());
  EXPECT_EQ(defaults.doubleForKey(SettingsKey::latitude), marks[0].coordinate.latitude);
  EXPECT_EQ(defaults.doubleForKey(SettingsKey::longitude), marks[0].coordinate.longitude);
  EXPECT_EQ(defaults.integerForKey(SettingsKey::mapType), 1);
  EXPECT_EQ(defaults.integerForKey(SettingsKey::interval), 30);
}

TEST_F(SettingsViewTest, PopUpsKeepThePaddingTheLanguagesOpenAsOneListAndAWindowKeepsOpen) {
  ASSERT_NO_FATAL_FAILURE(present(PresentationStyle::window));
  for (const char* name : {"statusBarOption", "updateInterval", "languageSelect",
                           "numberOfDecimals", "weatherService"}) {
    GtkWidget* cellView = gtk_bin_get_child(GTK_BIN(named(name)));
    GtkWidget* button = gtk_widget_get_ancestor(cellView, GTK_TYPE_BUTTON);
    ASSERT_NE(button, nullptr) << name;
    GtkStyleContext* style = gtk_widget_get_style_context(button);
    GtkBorder padding{};
    gtk_style_context_get_padding(style, gtk_style_context_get_state(style), &padding);
    EXPECT_GT(padding.left, 0) << name;
    EXPECT_EQ(gtk_widget_get_margin_end(cellView), padding.right) << name;
  }

  // The list pops up below or above the button, just as wide, with every language in order.
  GtkComboBox* languages = GTK_COMBO_BOX(named("languageSelect"));
  gtk_combo_box_popup(languages);
  GtkTreeView* list = nullptr;
  ASSERT_TRUE(waitUntil([&] {
    for (Gtk::Window* popup : Gtk::Window::list_toplevels())
      if (popup->get_visible() && popup->get_type_hint() != Gdk::WINDOW_TYPE_HINT_NORMAL)
        if (const auto views = widgetsOf<Gtk::TreeView>(*popup); !views.empty())
          list = views.front()->gobj();
    return list != nullptr && gtk_widget_get_mapped(GTK_WIDGET(list));
  })) << "no list opened";
  GtkWidget* popup = gtk_widget_get_toplevel(GTK_WIDGET(list));
  ASSERT_TRUE(waitUntil([&] {
    return gtk_widget_get_allocated_width(popup) ==
           gtk_widget_get_allocated_width(GTK_WIDGET(languages));
  })) << gtk_widget_get_allocated_width(popup);
  EXPECT_EQ(gtk_tree_view_get_model(list), gtk_combo_box_get_model(languages));
  gtk_combo_box_popdown(languages);

  // An ordinary window stays open without the focus, and closes on its close button.
  EXPECT_TRUE(window().get_decorated());
  ASSERT_TRUE(waitUntil([&] { return window().is_active(); }));
  const testing::ForeignWindow elsewhere;
  ASSERT_TRUE(waitUntil([&] { return !window().is_active(); }));
  spin(std::chrono::milliseconds(3 * gtk::GtkViewPresenter::kFocusGraceMilliseconds));
  ASSERT_TRUE(window().get_visible());
  window().close();  // as the close button does
  drain();
  EXPECT_FALSE(window().get_visible());
  EXPECT_EQ(settingsChanged, 1);
}

// Answers as Open-Meteo does with three places; "slow" answers after two seconds.
void geocoder(httplib::Server& routes, std::mutex& mutex, std::vector<std::string>& names) {
  routes.Get("/v1/search", [&](const httplib::Request& request, httplib::Response& response) {
    const std::string name = request.get_param_value("name");
    {
      const std::lock_guard lock(mutex);
      names.push_back(name);
    }
    if (name.starts_with("slow")) std::this_thread::sleep_for(2s);
    response.set_content(R"({"results":[
        {"name":"Uppsala","latitude":59.85882,"longitude":17.63889,"country_code":"SE",
         "country":"Sweden","admin1":"Uppsala"},
        {"name":"Uppsala län","latitude":60.0,"longitude":17.75,"country_code":"SE",
         "country":"Sweden","admin1":"Uppsala"},
        {"name":"<b>Bold</b> &amp; Co","latitude":1.5,"longitude":2.5}]})",
                         "application/json");
  });
}

// The place search with a geocoding server on 127.0.0.1 and a GeoClue2 of the test's own on a
// private bus.
class PlaceSearchViewTest : public SettingsViewTest {
 protected:
  // Shows the view in an ordinary window with the place search on `location`, and waits until
  // it has the focus.
  void present(LocationService* location = nullptr, double locationTimeLimit = 15) {
    placeSearch.emplace(PlaceSearchServices{http, background, mainQueue, runLoop,
                                            server.url("/v1/search"), location, locationTimeLimit});
    ASSERT_NO_FATAL_FAILURE(SettingsViewTest::present(PresentationStyle::window));
    ASSERT_TRUE(waitUntil([&] { return window().is_active(); }));
  }

  GtkSearchFieldAdapter& field() {
    return dynamic_cast<GtkSearchFieldAdapter&>(*controller->placeSearch);
  }
  bool listOpen() { return field().popover().get_visible(); }
  // The lines of the open list, disabled ones marked "(off)".
  std::vector<std::string> lines() {
    std::vector<std::string> result;
    for (Gtk::Widget* row : field().list().get_children()) {
      auto* label = dynamic_cast<Gtk::Label*>(dynamic_cast<Gtk::Bin*>(row)->get_child());
      result.push_back(label->get_label() + (row->is_sensitive() ? "" : " (off)"));
    }
    return result;
  }
  void type(const std::string& keys) {
    for (const char key : keys) ASSERT_TRUE(typeKey(std::string(1, key)));
  }
  bool typeKey(const std::string& keysym) {
    return testing::typeKeyInto(window().get_title(), keysym);
  }
  Coordinate marker() const { return controller->mapView->annotations().at(0).coordinate; }
  Coordinate stored() const {
    return {defaults.doubleForKey(SettingsKey::latitude),
            defaults.doubleForKey(SettingsKey::longitude)};
  }
  std::vector<std::string> requested() {
    const std::lock_guard lock(mutex);
    return names;
  }

  std::mutex mutex;
  std::vector<std::string> names;
  testing::HttpTestServer server{
      [this](httplib::Server& routes) { geocoder(routes, mutex, names); }};
  CurlHttpLoader http{std::chrono::seconds(10)};
  ThreadPoolQueue background;
  GLibMainQueue mainQueue;
  GLibRunLoop runLoop;
};

TEST_F(PlaceSearchViewTest, KeysAndClicksOnTheRealListAndASlowServiceNeverHoldsTheView) {
  ASSERT_NO_FATAL_FAILURE(present());
  Gtk::Entry* entry = nullptr;
  for (Gtk::Entry* candidate : widgetsOf<Gtk::Entry>(window()))
    if (candidate->get_placeholder_text() == "Search for a place") entry = candidate;
  ASSERT_NE(entry, nullptr);
  EXPECT_FALSE(entry->has_focus()) << "the window opens with the map focused, as before";
  ASSERT_TRUE(typeKey("ctrl+f"));
  ASSERT_TRUE(waitUntil([&] { return entry->has_focus(); }));

  ASSERT_NO_FATAL_FAILURE(type("uppsala"));
  ASSERT_TRUE(waitUntil([&] { return listOpen(); }));
  EXPECT_EQ(requested(), std::vector<std::string>{"uppsala"}) << "one request, for the last text";
  // Plain text only: the service's markup is shown as written.
  EXPECT_EQ(lines(), (std::vector<std::string>{"\U0001F1F8\U0001F1EA Uppsala, Uppsala, Sweden",
                                               "\U0001F1F8\U0001F1EA Uppsala län, Uppsala, Sweden",
                                               "<b>Bold</b> &amp; Co"}));

  // The arrow keys walk the results, Enter takes the highlighted one at city scale.
  GtkWidget* map = mapWidget();
  osm_gps_map_set_zoom(OSM_GPS_MAP(map), 4);
  for (const char* key : {"Down", "Down", "Return"}) ASSERT_TRUE(typeKey(key));
  ASSERT_TRUE(waitUntil([&] { return !listOpen(); }));
  EXPECT_EQ(marker(), (Coordinate{60.0, 17.75}));
  EXPECT_EQ(entry->get_text(), "Uppsala län, Uppsala, Sweden");
  int zoom = 0;
  g_object_get(map, "zoom", &zoom, nullptr);
  EXPECT_EQ(zoom, 11);

  // Escape closes the list and leaves the view open; a click on the list chooses, one on the map
  // closes it without choosing.
  ASSERT_NO_FATAL_FAILURE(type("x"));
  ASSERT_TRUE(waitUntil([&] { return listOpen(); }));
  ASSERT_TRUE(typeKey("Escape"));
  ASSERT_TRUE(waitUntil([&] { return !listOpen(); }));
  spin(100ms);
  EXPECT_TRUE(window().get_visible());
  ASSERT_NO_FATAL_FAILURE(type("h"));
  ASSERT_TRUE(waitUntil([&] { return listOpen(); }));
  field().list().get_row_at_index(0)->activate();
  EXPECT_TRUE(waitUntil([&] { return !listOpen(); }));
  EXPECT_EQ(marker(), (Coordinate{59.85882, 17.63889}));
  ASSERT_NO_FATAL_FAILURE(type("y"));
  ASSERT_TRUE(waitUntil([&] { return listOpen(); }));
  sendButton(GDK_BUTTON_PRESS, map, 300, 280);
  sendButton(GDK_BUTTON_RELEASE, map, 300, 280);
  ASSERT_TRUE(waitUntil([&] { return !listOpen(); }));
  EXPECT_TRUE(window().get_visible());

  // The view answers while a request waits on the server, and the late answer changes nothing.
  for (const char* key : {"ctrl+a", "s", "l", "o", "w"}) ASSERT_TRUE(typeKey(key));
  ASSERT_TRUE(waitUntil([&] { return requested().back() == "slow"; }));
  const Coordinate chosen = marker();
  const auto before = std::chrono::steady_clock::now();
  ASSERT_TRUE(typeKey("Escape"));
  ASSERT_TRUE(waitUntil([&] { return !window().get_visible(); }));
  EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
  EXPECT_EQ(stored(), chosen);
  spin(2500ms);  // the slow answer arrives after the close
  EXPECT_EQ(stored(), chosen);
  EXPECT_EQ(marker(), chosen);
}

// GeoClue2's manager, one client and its location, answering as the test sets.
class FakeGeoClue {
 public:
  enum class Mode { position, refuse, silent };

  explicit FakeGeoClue(const Glib::RefPtr<Gio::DBus::Connection>& bus) : bus_(bus->gobj()) {
    GError* error = nullptr;
    info_ = g_dbus_node_info_new_for_xml(kXml, &error);
    if (info_ == nullptr) throw std::runtime_error(error->message);
    for (const auto& [path, interface] :
         {std::pair{kManagerPath, 0}, {kClientPath, 1}, {kLocationPath, 2}}) {
      registrations_.push_back(g_dbus_connection_register_object(
          bus_, path, info_->interfaces[interface], &kVTable, this, nullptr, nullptr));
    }
    testing::ownName(bus, "org.freedesktop.GeoClue2");
  }
  ~FakeGeoClue() {
    for (const guint registration : registrations_)
      g_dbus_connection_unregister_object(bus_, registration);
    g_dbus_node_info_unref(info_);
  }
  FakeGeoClue(const FakeGeoClue&) = delete;
  FakeGeoClue& operator=(const FakeGeoClue&) = delete;

  Mode mode = Mode::position;
  Coordinate position{48.85, 2.35};
  std::vector<std::string> calls;  // "Start", "Stop", "DesktopId=stratovane", ...

 private:
  static constexpr const char* kManagerPath = "/org/freedesktop/GeoClue2/Manager";
  static constexpr const char* kClientPath = "/org/freedesktop/GeoClue2/Client/1";
  static constexpr const char* kLocationPath = "/org/freedesktop/GeoClue2/Location/1";
  static constexpr const char* kXml = R"(<node>
    <interface name="org.freedesktop.GeoClue2.Manager">
      <method name="GetClient"><arg type="o" direction="out"/></method>
    </interface>
    <interface name="org.freedesktop.GeoClue2.Client">
      <method name="Start"/><method name="Stop"/>
      <signal name="LocationUpdated"><arg type="o"/><arg type="o"/></signal>
      <property name="DesktopId" type="s" access="readwrite"/>
      <property name="RequestedAccuracyLevel" type="u" access="readwrite"/>
    </interface>
    <interface name="org.freedesktop.GeoClue2.Location">
      <property name="Latitude" type="d" access="read"/>
      <property name="Longitude" type="d" access="read"/>
    </interface>
  </node>)";

  static void call(GDBusConnection* bus, const gchar*, const gchar*, const gchar*,
                   const gchar* method, GVariant*, GDBusMethodInvocation* invocation,
                   gpointer data) {
    auto& self = *static_cast<FakeGeoClue*>(data);
    const std::string name = method;
    self.calls.push_back(name);
    if (name == "GetClient")
      return g_dbus_method_invocation_return_value(invocation, g_variant_new("(o)", kClientPath));
    if (name == "Start" && self.mode == Mode::refuse)
      return g_dbus_method_invocation_return_dbus_error(
          invocation, "org.freedesktop.DBus.Error.AccessDenied", "not allowed");
    g_dbus_method_invocation_return_value(invocation, nullptr);
    if (name == "Start" && self.mode == Mode::position)
      g_dbus_connection_emit_signal(bus, nullptr, kClientPath, "org.freedesktop.GeoClue2.Client",
                                    "LocationUpdated", g_variant_new("(oo)", "/", kLocationPath),
                                    nullptr);
  }
  static GVariant* get(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                       const gchar* property, GError**, gpointer data) {
    const Coordinate& position = static_cast<FakeGeoClue*>(data)->position;
    return g_variant_new_double(std::string(property) == "Latitude" ? position.latitude
                                                                    : position.longitude);
  }
  static gboolean set(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                      const gchar* property, GVariant* value, GError**, gpointer data) {
    gchar* printed = g_variant_print(value, FALSE);
    static_cast<FakeGeoClue*>(data)->calls.push_back(std::string(property) + "=" + printed);
    g_free(printed);
    return TRUE;
  }
  static constexpr GDBusInterfaceVTable kVTable{&call, &get, &set, {}};

  GDBusConnection* bus_;
  GDBusNodeInfo* info_ = nullptr;
  std::vector<guint> registrations_;
};

TEST_F(PlaceSearchViewTest, UseMyLocationAsksGeoClueOnTheBusAndSaysWhyWhenItCannot) {
  testing::PrivateBus bus;
  GeoClueLocation location(bus.address());
  const auto locationButton = [&] {
    for (Gtk::Button* button : widgetsOf<Gtk::Button>(window()))
      if (button->get_label() == "Use my location") return GTK_WIDGET(button->gobj());
    return GTK_WIDGET(nullptr);
  };
  // No GeoClue on the bus: no button.
  ASSERT_NO_FATAL_FAILURE(present(&location, 1));
  spin(500ms);
  EXPECT_FALSE(gtk_widget_get_visible(locationButton()));
  window().close();

  FakeGeoClue geoClue(bus.connection());
  ASSERT_NO_FATAL_FAILURE(present(&location, 1));
  GtkWidget* button = locationButton();
  ASSERT_TRUE(waitUntil([&] { return gtk_widget_get_visible(button); }));

  gtk_button_clicked(GTK_BUTTON(button));
  EXPECT_FALSE(gtk_widget_get_sensitive(button)) << "busy while it waits";
  ASSERT_TRUE(waitUntil([&] { return marker() == Coordinate{48.85, 2.35}; }));
  ASSERT_TRUE(waitUntil([&] { return gtk_widget_get_sensitive(button); }));
  EXPECT_TRUE(waitUntil([&] { return !geoClue.calls.empty() && geoClue.calls.back() == "Stop"; }));
  EXPECT_EQ(geoClue.calls, (std::vector<std::string>{"GetClient", "DesktopId='stratovane'",
                                                     "RequestedAccuracyLevel=4", "Start", "Stop"}));

  // Refused, and silent past the limit: one line says why, the marker stays.
  for (const FakeGeoClue::Mode mode : {FakeGeoClue::Mode::refuse, FakeGeoClue::Mode::silent}) {
    geoClue.mode = mode;
    geoClue.calls.clear();
    const auto pressed = std::chrono::steady_clock::now();
    gtk_button_clicked(GTK_BUTTON(button));
    ASSERT_TRUE(waitUntil([&] { return listOpen(); }, 5s)) << static_cast<int>(mode);
    EXPECT_EQ(lines(),
              std::vector<std::string>{"Location services are off or not available (off)"});
    EXPECT_TRUE(gtk_widget_get_sensitive(button));
    EXPECT_EQ(marker(), (Coordinate{48.85, 2.35}));
    if (mode == FakeGeoClue::Mode::silent) {
      EXPECT_GE(std::chrono::steady_clock::now() - pressed, 1s) << "the limit, not earlier";
      EXPECT_TRUE(waitUntil([&] { return geoClue.calls.back() == "Stop"; }))
          << "given up, the client is stopped";
    }
    field().closeResults();
    ASSERT_TRUE(waitUntil([&] { return !listOpen(); }));
  }
}

}  // namespace
}  // namespace stratovane
