// The settings view: every setting loaded when it appears and stored when it disappears.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Autostart.h"
#include "platform/MapView.h"
#include "platform/NotificationCenter.h"
#include "platform/UserDefaults.h"
#include "platform/Widgets.h"
#include "platform/Workspace.h"
#include "settings/About.h"
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
  // Without `autostart` the start-at-login switch is left as the layout has it.
  ViewController(UserDefaults& defaults, NotificationCenter& notificationCenter,
                 Workspace& workspace, Autostart* autostart = nullptr);
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
};

// Latitude clamped to what the map can show (Web Mercator), longitude into [-180, 180].
Coordinate storableCoordinate(Coordinate coordinate);

}  // namespace stratovane
