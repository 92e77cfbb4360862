// The settings view: every setting loaded when it appears and stored when it disappears.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/Autostart.h"
#include "platform/MapView.h"
#include "platform/NotificationCenter.h"
#include "platform/UserDefaults.h"
#include "platform/Widgets.h"
#include "platform/Workspace.h"
#include "settings/About.h"
#include "settings/PlaceSearchController.h"
#include "settings/apiKey.h"

namespace stratovane {

// The weather service's public site, opened by the credit button and the API-key view.
inline constexpr const char* weatherServiceSite = "https://openweathermap.org/";

// Tags of the weather service pop-up; a custom address from the settings file gets the third.
namespace WeatherServiceTag {
inline constexpr std::int64_t oneCall30 = 0;
inline constexpr std::int64_t oneCall25 = 1;
inline constexpr std::int64_t custom = 2;
inline constexpr std::int64_t openMeteo = 3;
}  // namespace WeatherServiceTag

class ViewController {
 public:
  // Without `autostart` the start-at-login switch is left as the layout has it; without
  // `placeSearch` the search field stays inert.
  ViewController(UserDefaults& defaults, NotificationCenter& notificationCenter,
                 Workspace& workspace, Autostart* autostart = nullptr,
                 std::optional<PlaceSearchServices> placeSearch = std::nullopt);
  // The loader keeps actions that point back here.
  ViewController(const ViewController&) = delete;
  ViewController& operator=(const ViewController&) = delete;

  // The outlets and actions of this view and of the two information views it presents.
  Connections connections();

  void viewDidLoad();
  void viewWillAppear();
  void viewDidDisappear();

  void showPoweredBy();
  // The action `languageSelect:`; C++ cannot give it the outlet's name as well.
  void languageSelectAction() {}
  void updateIntervall() {}
  void numberDecimals() {}
  void mapTypeChanged();
  void mapTappedWithRecognizer(ViewPoint point);
  // A place found by name or by the computer's position: the marker, centred at city scale.
  void showChosenPlace(Coordinate place);

  std::shared_ptr<MapView> mapView;
  std::shared_ptr<TextField> apiKey;
  std::shared_ptr<PopUpButton> statusBarOption;
  std::shared_ptr<SegmentedControl> units;
  std::shared_ptr<PopUpButton> updateInterval;
  std::shared_ptr<PopUpButton> languageSelect;
  std::shared_ptr<PopUpButton> numberOfDecimals;
  std::shared_ptr<SegmentedControl> mapType;
  std::shared_ptr<PopUpButton> weatherService;
  std::shared_ptr<Switch> startAtLogin;
  std::shared_ptr<SearchField> placeSearch;
  std::shared_ptr<Button> useMyLocation;
  std::shared_ptr<Switch> notifyAlerts;

  stratovane::apiKey& apiKeyView() { return apiKeyView_; }
  About& aboutView() { return aboutView_; }

 private:
  void loadWeatherService();
  void saveWeatherService();

  UserDefaults& defaults_;
  NotificationCenter& notificationCenter_;
  Workspace& workspace_;
  Autostart* autostart_;
  bool startedAtLogin_ = false;  // as shown when the view appeared
  stratovane::apiKey apiKeyView_;
  About aboutView_;
  std::string customEndpoint_;  // shown as the third service item, kept by a save
  std::unique_ptr<PlaceSearchController> placeSearch_;
};

// Latitude clamped to what the map can show (Web Mercator), longitude into [-180, 180].
Coordinate storableCoordinate(Coordinate coordinate);

}  // namespace stratovane
