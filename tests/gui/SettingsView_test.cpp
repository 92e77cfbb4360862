// The settings view with its real interface file, widgets and map: outlets, clicks and closing.
#include <gtk/gtk.h>
#include <gtkmm/container.h>
#include <gtkmm/treeview.h>
#include <gtkmm/window.h>

#include <cstdlib>
#include <numeric>
#include <string>
#include <vector>

#include "GuiTest.h"
#include "platform/Settings.h"
#include "platform/gtk/GtkInterfaceLoader.h"
#include "platform/gtk/GtkViewAdapter.h"
#include "platform/gtk/GtkViewPresenter.h"
#include "platform/gtk/OsmMapView.h"
#include "platform/system/FileUserDefaults.h"
#include "settings/ViewController.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

namespace stratovane {
namespace {

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
void send(GdkEventType type, GtkWidget* widget, double x, double y) {
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
    controller = std::make_shared<ViewController>(defaults, notifications, browser);
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

TEST_F(SettingsViewTest, AMapClickMovesTheMarkerTheTypeSwitchesAtOnceAndEscapeStoresBoth) {
  ASSERT_NO_FATAL_FAILURE(present(PresentationStyle::transient));
  GtkWidget* map = mapWidget();
  send(GDK_BUTTON_PRESS, map, 90, 70);
  send(GDK_BUTTON_RELEASE, map, 90, 70);
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

  ASSERT_TRUE(testing::typeKeyInto(window().get_title(), "Escape"));
  EXPECT_TRUE(waitUntil([&] { return !window().get_visible(); }));
  EXPECT_EQ(settingsChanged, 1);
  EXPECT_EQ(defaults.doubleForKey(SettingsKey::latitude), marks[0].coordinate.latitude);
  EXPECT_EQ(defaults.doubleForKey(SettingsKey::longitude), marks[0].coordinate.longitude);
  EXPECT_EQ(defaults.integerForKey(SettingsKey::mapType), 1);
}

TEST_F(SettingsViewTest, ItsOwnPopoversAndListsKeepItOpenAndFocusElsewhereClosesAndStores) {
  ASSERT_NO_FATAL_FAILURE(present(PresentationStyle::transient));
  ASSERT_TRUE(waitUntil([&] { return window().is_active(); })) << "the view never got the focus";

  gtk_button_clicked(GTK_BUTTON(named("apiKeyButton")));
  spin(std::chrono::milliseconds(3 * gtk::GtkViewPresenter::kFocusGraceMilliseconds));
  EXPECT_TRUE(window().get_visible());
  gtk_button_clicked(GTK_BUTTON(named("gotoDarksky")));  // opens the site, closes the popover
  // Popped up from a press, as a click on it does.
  GtkWidget* languages = named("languageSelect");
  const gulong handler = g_signal_connect_swapped(window().gobj(), "button-press-event",
                                                  G_CALLBACK(gtk_combo_box_popup), languages);
  send(GDK_BUTTON_PRESS, GTK_WIDGET(window().gobj()), 5, 5);
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
  EXPECT_EQ(defaults.integerForKey(SettingsKey::interval), 30);
  EXPECT_EQ(defaults.integerForKey(SettingsKey::statusBarOption), -1);
}

TEST_F(SettingsViewTest, PopUpsKeepThePaddingBeforeTheArrowAndTheLanguagesOpenAsOneList) {
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
}

TEST_F(SettingsViewTest, AnOrdinaryWindowStaysOpenWithoutTheFocusAndClosesOnItsCloseButton) {
  ASSERT_NO_FATAL_FAILURE(present(PresentationStyle::window));
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

}  // namespace
}  // namespace stratovane
