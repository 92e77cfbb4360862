// The settings view on fake widgets: what it loads, what it stores and when.
#include "settings/ViewController.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/Settings.h"
#include "platform/system/FileUserDefaults.h"
#include "services/WeatherRequest.h"
#include "settings/presentSettingsView.h"
#include "support/FakePlatform.h"
#include "support/FakeWidgets.h"

namespace stratovane {
namespace {

using namespace testing;

// An in-memory store that records every write and each batch around them.
class RecordingDefaults : public UserDefaults {
 public:
  using Key = const std::string&;
  std::int64_t integerForKey(Key k) const override { return store.integerForKey(k); }
  double doubleForKey(Key k) const override { return store.doubleForKey(k); }
  std::optional<std::string> stringForKey(Key k) const override { return store.stringForKey(k); }
  void setInteger(std::int64_t v, Key k) override { store.setInteger(v, record(k)); }
  void setDouble(double v, Key k) override { store.setDouble(v, record(k)); }
  void setString(Key v, Key k) override { store.setString(v, record(k)); }
  void removeObject(Key k) override { store.removeObject(record(k, "-")); }
  void batchWrites(const std::function<void()>& changes) override {
    writes.push_back("{");
    store.batchWrites(changes);
    writes.push_back("}");
  }
  void registerDefaults(const std::vector<std::pair<std::string, std::string>>& values) override {
    store.registerDefaults(values);
  }
  Key record(Key k, const char* mark = "") {
    writes.push_back(mark + k);
    return k;
  }

  FileUserDefaults store{""};
  std::vector<std::string> writes;
};

// Records each change; the state is what the desktop would read.
struct RecordingAutostart : Autostart {
  bool isEnabled() const override { return enabled; }
  bool setEnabled(bool value) override {
    changes.push_back(enabled = value);
    return true;
  }
  bool enabled = false;
  std::vector<bool> changes;
};

class ViewControllerTest : public ::testing::Test {
 protected:
  ViewControllerTest() {
    defaults.registerDefaults({registeredDefaults.begin(), registeredDefaults.end()});
    // The layout's items, as in the interface file; the selections are the layout's own.
    const std::vector<PopUpItem> modes = {{"Rotating", -1}, {"Description", 0}, {"Temperature", 1},
                                          {"Rain", 2},      {"Clouds", 3},      {"Both", 4}};
    windows.setPopUpItems("statusBarOption", modes, 0);
    windows.setPopUpItems("updateInterval", {{"5", 5}, {"15", 15}, {"30", 30}, {"60", 60}}, 2);
    std::vector<PopUpItem> languages;
    for (std::size_t i = 0; i < feedLanguages.size(); ++i)
      languages.push_back({std::string(feedLanguages[i]), static_cast<std::int64_t>(i)});
    windows.setPopUpItems("languageSelect", languages, 2);
    windows.setPopUpItems("numberOfDecimals", {{"0", 0}, {"1", 1}, {"2", 2}}, 0);
    windows.setPopUpItems("weatherService",
                          {{"One Call 3.0", WeatherServiceTag::oneCall30},
                           {"One Call 2.5", WeatherServiceTag::oneCall25},
                           {"Open-Meteo (no key needed)", WeatherServiceTag::openMeteo}},
                          1);
    windows.setSegments("units", 2, 0);
    windows.setSegments("mapType", 3, 0);
    notifications.addObserver(SettingsChanged, [this] { ++settingsChanged; });
  }

  void open() {
    ASSERT_TRUE(
        presentSettingsView({defaults, notifications, workspace, windows, presenter, &autostart},
                            PresentationStyle::transient, nullptr));
  }
  void openAndClose() {
    open();
    presenter.close();
  }
  std::int64_t stored(const char* key) const { return defaults.integerForKey(key); }

  RecordingDefaults defaults;
  NotificationCenter notifications;
  testing::FakeWorkspace workspace;
  RecordingAutostart autostart;
  FakeInterfaceLoader windows;
  FakeViewPresenter presenter;
  int settingsChanged = 0;
};

TEST_F(ViewControllerTest, StoresAllNineKeysInOrderInOneBatchOnCloseThenNotifiesOnce) {
  const std::pair<const char*, std::int64_t> kept[] = {
      {SettingsKey::statusBarOption, 3}, {SettingsKey::units, 1},    {SettingsKey::interval, 60},
      {SettingsKey::language, 6},        {SettingsKey::decimals, 2}, {SettingsKey::mapType, 1}};
  for (const auto& [key, value] : kept) defaults.setInteger(value, key);
  defaults.setString("k3y ", SettingsKey::apiKey);
  defaults.writes.clear();
  open();
  EXPECT_TRUE(defaults.writes.empty()) << "nothing is stored while the view is open";

  presenter.close();
  EXPECT_EQ(defaults.writes,
            (std::vector<std::string>{"{", "latitude", "longitude", "apiKey", "units", "interval",
                                      "language", "decimals", "mapType", "statusBarOption",
                                      "-weatherEndpoint", "notifyAlerts", "}"}));
  EXPECT_EQ(settingsChanged, 1);
  EXPECT_EQ(*defaults.stringForKey(SettingsKey::apiKey), "k3y ");
  for (const auto& [key, value] : kept) EXPECT_EQ(stored(key), value) << key;

  // Each showing is a fresh view whose choices, actions run, are stored only when it closes.
  defaults.writes.clear();
  open();
  EXPECT_EQ(windows.loadCount("Main"), 2);
  windows.get<FakePopUpButton>("languageSelect")->choose("sv");
  windows.get<FakeSegmentedControl>("units")->choose(0);
  windows.get<FakeTextField>("apiKey")->setStringValue("");
  EXPECT_TRUE(defaults.writes.empty());
  presenter.close();
  EXPECT_EQ(settingsChanged, 2);
  EXPECT_EQ(stored(SettingsKey::language), 17);
  EXPECT_EQ(stored(SettingsKey::units), 0);
  EXPECT_EQ(defaults.stringForKey(SettingsKey::apiKey), "");
}

TEST_F(ViewControllerTest, UpdateIntervalsAreNamedFromTheirMinutesInWholeHoursWherePossible) {
  windows.setPopUpItems("updateInterval",
                        {{"?", 5}, {"?", 1}, {"?", 60}, {"?", 90}, {"?", 180}, {"kept", 0}}, 0);
  open();
  std::vector<std::string> titles;
  for (const PopUpItem& item : windows.get<FakePopUpButton>("updateInterval")->items())
    titles.push_back(item.title);
  EXPECT_EQ(titles, (std::vector<std::string>{"5 minutes", "1 minute", "1 hour", "90 minutes",
                                              "3 hours", "kept"}));
}

TEST_F(ViewControllerTest, StartAtLoginShowsTheEntryAndChangesItOnlyWhenSwitched) {
  autostart.enabled = true;
  openAndClose();
  EXPECT_TRUE(autostart.changes.empty()) << "an unchanged close leaves the entry alone";

  open();
  EXPECT_TRUE(windows.get<FakeSwitch>("startAtLogin")->isOn());
  windows.get<FakeSwitch>("startAtLogin")->setOn(false);
  EXPECT_TRUE(autostart.changes.empty()) << "nothing changes while the view is open";
  presenter.close();
  open();
  EXPECT_FALSE(windows.get<FakeSwitch>("startAtLogin")->isOn());
  windows.get<FakeSwitch>("startAtLogin")->setOn(true);
  presenter.close();
  EXPECT_EQ(autostart.changes, (std::vector<bool>{false, true}));
  EXPECT_EQ(defaults.stringForKey("startAtLogin"), std::nullopt) << "not a settings key";
}

TEST_F(ViewControllerTest, TheAlertNoticeSwitchIsOnByDefaultAndStoredAsOneOrZero) {
  open();
  EXPECT_TRUE(windows.get<FakeSwitch>("notifyAlerts")->isOn());
  windows.get<FakeSwitch>("notifyAlerts")->setOn(false);
  presenter.close();
  EXPECT_EQ(stored(SettingsKey::notifyAlerts), 0);
  open();
  EXPECT_FALSE(windows.get<FakeSwitch>("notifyAlerts")->isOn());
  windows.get<FakeSwitch>("notifyAlerts")->setOn(true);
  presenter.close();
  EXPECT_EQ(stored(SettingsKey::notifyAlerts), 1);
}

TEST_F(ViewControllerTest, PopUpsSelectTheStoredValueOrKeepTheLayoutsSelection) {
  struct Case {
    std::vector<PopUpItem> items;
    std::int64_t stored, saved;
    const char* shown;
  };
  const Case cases[] = {
      {{{"Rotating", -1}, {"Description", 0}}, -1, -1, "Rotating"},
      {{{"A", 2}, {"B", 3}, {"C", 3}}, 3, 3, "C"},  // the last of two matches
      {{{"A", 2}, {"B", 3}}, 9, 2, "A"},            // no match: the layout's selection
  };
  for (const Case& c : cases) {
    windows.setPopUpItems("statusBarOption", c.items, 0);
    defaults.setInteger(c.stored, SettingsKey::statusBarOption);
    open();
    EXPECT_EQ(windows.get<FakePopUpButton>("statusBarOption")->selectedTitle(), c.shown);
    presenter.close();
    EXPECT_EQ(stored(SettingsKey::statusBarOption), c.saved) << c.stored;
  }
  // With no item on, -1 (rotation) is stored.
  windows.setPopUpItems("statusBarOption", {{"A", 2}}, -1);
  defaults.setInteger(9, SettingsKey::statusBarOption);
  openAndClose();
  EXPECT_EQ(stored(SettingsKey::statusBarOption), -1);

  // The other pop-ups match by tag; a value the layout lacks gives way to its selection.
  defaults.setInteger(7, SettingsKey::interval);
  defaults.setInteger(40, SettingsKey::language);
  defaults.setInteger(-1, SettingsKey::decimals);
  openAndClose();
  EXPECT_EQ(stored(SettingsKey::interval), 30);
  EXPECT_EQ(stored(SettingsKey::language), 2);
  EXPECT_EQ(stored(SettingsKey::decimals), 0);
}

TEST_F(ViewControllerTest, SegmentsOutOfRangeSelectNoneAndLeaveTheMapTypeAlone) {
  struct Case {
    std::int64_t units, mapType;
    std::int64_t savedUnits, savedMapType;
    MapType shown;
  };
  // Out of range, no segment is selected and -1 stored; any units but 0 mean imperial.
  const Case cases[] = {{0, 2, 0, 2, MapType::hybrid},
                        {1, 1, 1, 1, MapType::satellite},
                        {7, 3, -1, -1, MapType::standard},
                        {-4, -1, -1, -1, MapType::standard}};
  for (const Case& c : cases) {
    defaults.setInteger(c.units, SettingsKey::units);
    defaults.setInteger(c.mapType, SettingsKey::mapType);
    open();
    EXPECT_EQ(windows.get<FakeMapView>("mapView")->mapType, c.shown) << c.mapType;
    presenter.close();
    EXPECT_EQ(stored(SettingsKey::units), c.savedUnits) << c.units;
    EXPECT_EQ(stored(SettingsKey::mapType), c.savedMapType) << c.mapType;
  }
}

TEST_F(ViewControllerTest, ThePlaceKeepsEveryBitAndTwoClicksLeaveOneMarkerWithoutMovingTheMap) {
  const Coordinate place{std::nextafter(59.4040015148249, 90.0), -179.99999999999997};
  defaults.setDouble(place.latitude, SettingsKey::latitude);
  defaults.setDouble(place.longitude, SettingsKey::longitude);
  openAndClose();
  EXPECT_EQ(defaults.doubleForKey(SettingsKey::latitude), place.latitude);  // every bit
  EXPECT_EQ(defaults.doubleForKey(SettingsKey::longitude), place.longitude);

  open();
  const auto map = windows.get<FakeMapView>("mapView");
  map->click({10.25, -20.5});
  map->click({30.125, -40.0625});
  ASSERT_EQ(map->annotations().size(), 1U);
  EXPECT_EQ(map->annotations()[0].coordinate, (Coordinate{40.0625, 30.125}));
  EXPECT_EQ(map->annotations()[0].title, "Your location");
  EXPECT_EQ(map->center, place);
  EXPECT_EQ(defaults.doubleForKey(SettingsKey::latitude), place.latitude);
  presenter.close();
  EXPECT_EQ(defaults.doubleForKey(SettingsKey::latitude), 40.0625);
  EXPECT_EQ(defaults.doubleForKey(SettingsKey::longitude), 30.125);
}

TEST_F(ViewControllerTest, PlacesOffTheGlobeAreBroughtBackBeforeStoring) {
  struct Case {
    Coordinate clicked, stored;
  };
  const Case cases[] = {{{10, 190}, {10, -170}},
                        {{10, -540.5}, {10, 179.5}},
                        {{-10, 360}, {-10, 0}},
                        {{10, 180}, {10, 180}},
                        {{91, 20}, {85.05112877980659, 20}},
                        {{-89.9, 20}, {-85.05112877980659, 20}}};
  for (const Case& c : cases) {
    open();
    const auto map = windows.get<FakeMapView>("mapView");
    map->convert = [&](ViewPoint) { return c.clicked; };
    map->click({1, 1});
    presenter.close();
    EXPECT_DOUBLE_EQ(defaults.doubleForKey(SettingsKey::latitude), c.stored.latitude);
    EXPECT_DOUBLE_EQ(defaults.doubleForKey(SettingsKey::longitude), c.stored.longitude)
        << c.clicked.longitude;
  }
  // A point the map could not convert leaves the stored place as it was.
  open();
  windows.get<FakeMapView>("mapView")->convert = [](ViewPoint) {
    return Coordinate{std::numeric_limits<double>::quiet_NaN(), 3};
  };
  windows.get<FakeMapView>("mapView")->click({1, 1});
  presenter.close();
  EXPECT_DOUBLE_EQ(defaults.doubleForKey(SettingsKey::latitude), -85.05112877980659);
}

TEST_F(ViewControllerTest, TheWeatherServiceIsChosenAndACustomAddressSurvives) {
  struct Case {
    const char* stored;  // none: absent
    const char* selected;
    std::optional<std::string> saved;
  };
  const Case cases[] = {
      {nullptr, "One Call 2.5", std::nullopt},
      {defaultWeatherEndpoint, "One Call 2.5", std::nullopt},
      {oneCall30WeatherEndpoint, "One Call 3.0", oneCall30WeatherEndpoint},
      {openMeteoWeatherEndpoint, "Open-Meteo (no key needed)", openMeteoWeatherEndpoint},
      // A self-hosted Open-Meteo is a custom address like any other.
      {"http://meteo.lan/v1/forecast", "http://meteo.lan/v1/forecast",
       "http://meteo.lan/v1/forecast"},
      {"https://proxy.test/onecall", "https://proxy.test/onecall", "https://proxy.test/onecall"},
  };
  for (const Case& c : cases) {
    if (c.stored) {
      defaults.setString(c.stored, SettingsKey::weatherEndpoint);
    } else {
      defaults.removeObject(SettingsKey::weatherEndpoint);
    }
    open();
    EXPECT_EQ(windows.get<FakePopUpButton>("weatherService")->selectedTitle(), c.selected);
    presenter.close();
    EXPECT_EQ(defaults.stringForKey(SettingsKey::weatherEndpoint), c.saved) << c.selected;
  }
  // Choosing 3.0 over a custom address stores 3.0.
  open();
  EXPECT_EQ(windows.get<FakePopUpButton>("weatherService")->items().size(), 4U);
  windows.get<FakePopUpButton>("weatherService")->choose("One Call 3.0");
  presenter.close();
  EXPECT_EQ(defaults.stringForKey(SettingsKey::weatherEndpoint), oneCall30WeatherEndpoint);
}

TEST_F(ViewControllerTest, InformationViewsOpenTheirLinkAndCloseThemselves) {
  open();
  ASSERT_TRUE(windows.click("showPoweredBy"));
  ASSERT_TRUE(windows.click("gotoDarksky"));
  EXPECT_EQ(windows.get<FakeView>("apiKeyView")->dismissCount, 1);
  ASSERT_TRUE(windows.click("linkPressed"));
  EXPECT_EQ(windows.get<FakeView>("AboutView")->dismissCount, 1);
  EXPECT_EQ(workspace.urls,
            (std::vector<std::string>{weatherServiceSite, weatherServiceSite, STRATOVANE_WEBSITE}));
  // The settings view itself stays open.
  EXPECT_EQ(windows.get<FakeView>("ViewController")->dismissCount, 0);
  EXPECT_TRUE(presenter.close());
}

}  // namespace
}  // namespace stratovane
