// The settings view: every setting loaded when it appears and stored when it disappears.
#include "settings/ViewController.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <utility>

#include "platform/Settings.h"
#include "platform/Translation.h"
#include "services/WeatherRequest.h"

namespace stratovane {

namespace {

constexpr const char* kMarkerTitle = trLater("Your location");
constexpr int kChosenPlaceZoom = 11;  // a town and its surroundings
// The largest latitude a Web Mercator map shows: atan(sinh(pi)) in degrees.
constexpr double kMercatorLatitudeLimit = 85.05112877980659;

// Whole hours in hours, the rest in minutes; the form of the noun follows the number.
std::string intervalTitle(std::int64_t minutes) {
  if (minutes >= 60 && minutes % 60 == 0) {
    const std::int64_t hours = minutes / 60;
    return fillIn(trPlural("%s hour", "%s hours", static_cast<unsigned long>(hours)),
                  {std::to_string(hours)});
  }
  return fillIn(trPlural("%s minute", "%s minutes", static_cast<unsigned long>(minutes)),
                {std::to_string(minutes)});
}

std::optional<MapType> mapTypeFor(std::int64_t value) {
  if (value < 0 || value > 2) return std::nullopt;
  return static_cast<MapType>(value);
}

}  // namespace

Coordinate storableCoordinate(Coordinate coordinate) {
  // remainder() is exact, so a longitude already in range comes back bit for bit.
  coordinate.longitude = std::remainder(coordinate.longitude, 360.0);
  coordinate.latitude =
      std::clamp(coordinate.latitude, -kMercatorLatitudeLimit, kMercatorLatitudeLimit);
  return coordinate;
}

ViewController::ViewController(UserDefaults& defaults, NotificationCenter& notificationCenter,
                               Workspace& workspace, Autostart* autostart,
                               std::optional<PlaceSearchServices> placeSearch)
    : defaults_(defaults),
      notificationCenter_(notificationCenter),
      workspace_(workspace),
      autostart_(autostart),
      apiKeyView_(workspace),
      aboutView_(workspace) {
  if (placeSearch) {
    placeSearch_ = std::make_unique<PlaceSearchController>(
        std::move(*placeSearch),
        [this] { return std::string(feedLanguageCode(languageSelect->selectedTag())); },
        [this](Coordinate place) { showChosenPlace(place); });
  }
}

Connections ViewController::connections() {
  Connections connections;
  connections.mapViews.emplace_back("mapView", &mapView);
  connections.textFields.emplace_back("apiKey", &apiKey);
  connections.popUpButtons.emplace_back("statusBarOption", &statusBarOption);
  connections.segmentedControls.emplace_back("units", &units);
  connections.popUpButtons.emplace_back("updateInterval", &updateInterval);
  connections.popUpButtons.emplace_back("languageSelect", &languageSelect);
  connections.popUpButtons.emplace_back("numberOfDecimals", &numberOfDecimals);
  connections.segmentedControls.emplace_back("mapType", &mapType);
  connections.popUpButtons.emplace_back("weatherService", &weatherService);
  connections.switches.emplace_back("startAtLogin", &startAtLogin);
  connections.searchFields.emplace_back("placeSearch", &placeSearch);
  connections.buttons.emplace_back("useMyLocation", &useMyLocation);
  connections.switches.emplace_back("notifyAlerts", &notifyAlerts);
  connections.actions.emplace_back("showPoweredBy", [this] { showPoweredBy(); });
  apiKeyView_.addConnections(connections, "apiKeyView");
  aboutView_.addConnections(connections, "AboutView");
  return connections;
}

void ViewController::viewDidLoad() {
  if (languageSelect) languageSelect->setAction([this] { languageSelectAction(); });
  if (updateInterval) {
    updateInterval->setAction([this] { updateIntervall(); });
    const std::vector<PopUpItem> intervals = updateInterval->items();
    for (std::size_t i = 0; i < intervals.size(); ++i) {
      if (intervals[i].tag > 0) updateInterval->setItemTitle(i, intervalTitle(intervals[i].tag));
    }
  }
  if (numberOfDecimals) numberOfDecimals->setAction([this] { numberDecimals(); });
  if (mapType) mapType->setAction([this] { mapTypeChanged(); });
  apiKeyView_.viewDidLoad();
  aboutView_.viewDidLoad();
  if (placeSearch_) placeSearch_->viewDidLoad(placeSearch, useMyLocation);
}

void ViewController::viewWillAppear() {
  const double latitude = defaults_.doubleForKey(SettingsKey::latitude);
  const double longitude = defaults_.doubleForKey(SettingsKey::longitude);
  const std::string key = defaults_.stringForKey(SettingsKey::apiKey).value_or("");
  const std::int64_t statusBar = defaults_.integerForKey(SettingsKey::statusBarOption);
  const std::int64_t unitsValue = defaults_.integerForKey(SettingsKey::units);
  const std::int64_t interval = defaults_.integerForKey(SettingsKey::interval);
  const std::int64_t mapTypeValue = defaults_.integerForKey(SettingsKey::mapType);

  apiKey->setStringValue(key);
  units->setSelectedSegment(unitsValue);

  const std::vector<PopUpItem> items = statusBarOption->items();
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i].tag == statusBar) statusBarOption->selectItem(i);
  }

  const Coordinate stored{latitude, longitude};
  mapView->addAnnotation({stored, tr(kMarkerTitle)});
  mapView->setCenterCoordinate(stored);
  mapView->addClickRecognizer([this](ViewPoint point) { mapTappedWithRecognizer(point); });

  updateInterval->selectItemWithTag(interval);
  languageSelect->selectItemWithTag(defaults_.integerForKey(SettingsKey::language));
  numberOfDecimals->selectItemWithTag(defaults_.integerForKey(SettingsKey::decimals));

  mapType->setSelectedSegment(mapTypeValue);
  if (const auto type = mapTypeFor(mapTypeValue)) mapView->setMapType(*type);

  loadWeatherService();
  if (placeSearch_) {
    placeSearch_->viewWillAppear();
  } else {
    useMyLocation->setHidden(true);
  }
  if (notifyAlerts) notifyAlerts->setOn(defaults_.integerForKey(SettingsKey::notifyAlerts) != 0);

  if (autostart_) {
    startedAtLogin_ = autostart_->isEnabled();
    startAtLogin->setOn(startedAtLogin_);
  }
}

void ViewController::viewDidDisappear() {
  // Answers still on their way change nothing from here on.
  if (placeSearch_) placeSearch_->viewDidDisappear();
  defaults_.batchWrites([this] {
    const std::vector<PointAnnotation> annotations = mapView->annotations();
    if (!annotations.empty()) {
      const Coordinate place = storableCoordinate(annotations.front().coordinate);
      // Nothing off the number line reaches the file; the stored place then stays.
      if (std::isfinite(place.latitude) && std::isfinite(place.longitude)) {
        defaults_.setDouble(place.latitude, SettingsKey::latitude);
        defaults_.setDouble(place.longitude, SettingsKey::longitude);
      }
    }
    defaults_.setString(apiKey->stringValue(), SettingsKey::apiKey);
    defaults_.setInteger(units->selectedSegment(), SettingsKey::units);
    defaults_.setInteger(updateInterval->selectedTag(), SettingsKey::interval);
    defaults_.setInteger(languageSelect->selectedTag(), SettingsKey::language);
    defaults_.setInteger(numberOfDecimals->selectedTag(), SettingsKey::decimals);
    defaults_.setInteger(mapType->selectedSegment(), SettingsKey::mapType);

    std::int64_t statusBar = -1;
    for (const PopUpItem& item : statusBarOption->items()) {
      if (item.on) {
        statusBar = item.tag;
        break;
      }
    }
    defaults_.setInteger(statusBar, SettingsKey::statusBarOption);
    saveWeatherService();
    if (notifyAlerts) defaults_.setInteger(notifyAlerts->isOn() ? 1 : 0, SettingsKey::notifyAlerts);
  });
  // Not a setting: the desktop's autostart entry, touched only when the switch changed, so that
  // the user's own edits to it survive.
  if (autostart_ && startAtLogin->isOn() != startedAtLogin_)
    autostart_->setEnabled(startAtLogin->isOn());
  notificationCenter_.post(SettingsChanged);
}

void ViewController::loadWeatherService() {
  const std::string endpoint = defaults_.stringForKey(SettingsKey::weatherEndpoint).value_or("");
  if (endpoint.empty() || endpoint == defaultWeatherEndpoint) {
    weatherService->selectItemWithTag(WeatherServiceTag::oneCall25);
  } else if (endpoint == oneCall30WeatherEndpoint) {
    weatherService->selectItemWithTag(WeatherServiceTag::oneCall30);
  } else if (endpoint == openMeteoWeatherEndpoint) {
    weatherService->selectItemWithTag(WeatherServiceTag::openMeteo);
  } else {
    customEndpoint_ = endpoint;
    weatherService->addItem(endpoint, WeatherServiceTag::custom);
    weatherService->selectItemWithTag(WeatherServiceTag::custom);
  }
}

void ViewController::saveWeatherService() {
  switch (weatherService->selectedTag()) {
    case WeatherServiceTag::oneCall30:
      defaults_.setString(oneCall30WeatherEndpoint, SettingsKey::weatherEndpoint);
      break;
    case WeatherServiceTag::openMeteo:
      defaults_.setString(openMeteoWeatherEndpoint, SettingsKey::weatherEndpoint);
      break;
    case WeatherServiceTag::oneCall25:
      // Absent means 2.5, the endpoint every key issued before 3.0 works with.
      defaults_.removeObject(SettingsKey::weatherEndpoint);
      break;
    case WeatherServiceTag::custom:
      if (!customEndpoint_.empty())
        defaults_.setString(customEndpoint_, SettingsKey::weatherEndpoint);
      break;
    default:
      break;  // nothing chosen: the stored address stays
  }
}

void ViewController::showPoweredBy() {
  workspace_.openURL(weatherServiceSite);
}

void ViewController::mapTypeChanged() {
  if (const auto type = mapTypeFor(mapType->selectedSegment())) mapView->setMapType(*type);
}

void ViewController::mapTappedWithRecognizer(ViewPoint point) {
  mapView->removeAllAnnotations();
  const Coordinate place = mapView->convertPoint(point);
  mapView->addAnnotation({place, tr(kMarkerTitle)});
}

void ViewController::showChosenPlace(Coordinate place) {
  mapView->removeAllAnnotations();
  mapView->addAnnotation({place, kMarkerTitle});
  mapView->setZoomLevel(kChosenPlaceZoom);
  mapView->setCenterCoordinate(place);
}

}  // namespace stratovane
