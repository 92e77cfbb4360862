// The application controller: start-up, the panel item and its menu, timers and the weather fetch.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/AlertNotices.h"
#include "app/LastAnswer.h"
#include "json/JSON.h"
#include "platform/Autostart.h"
#include "platform/CacheFiles.h"
#include "platform/Formatting.h"
#include "platform/HttpLoader.h"
#include "platform/InternetReachability.h"
#include "platform/LocationService.h"
#include "platform/Menu.h"
#include "platform/NotificationCenter.h"
#include "platform/Notifier.h"
#include "platform/RunLoop.h"
#include "platform/Settings.h"
#include "platform/StatusItem.h"
#include "platform/UserDefaults.h"
#include "platform/ViewPresenter.h"
#include "platform/Widgets.h"
#include "platform/Workspace.h"
#include "presentation/AlertWindow.h"
#include "presentation/Forecast.h"
#include "presentation/WeatherAlert.h"
#include "presentation/forcastWindows.h"
#include "services/GeocodingRequest.h"
#include "services/WeatherRequest.h"
#include "update/ErrorWindow.h"
#include "update/NoUpdateWindow.h"
#include "update/UpdateCheck.h"
#include "update/UpdatePresenter.h"
#include "update/windowUpdate.h"

namespace stratovane {

// The system's clock, in seconds since 1970.
double secondsSince1970Now();

// The platform services the controller works with, handed in by the composition root.
struct AppEnvironment {
  RunLoop& runLoop;
  Queue& mainQueue;
  Queue& backgroundQueue;  // jobs submitted during launch must not start before it finished
  UserDefaults& defaults;
  NotificationCenter& notificationCenter;
  HttpLoader& loader;
  InternetReachability& reachability;
  InterfaceLoader& interfaceLoader;
  const NumberFormatting& numberFormatting;
  const TimeFormatting& timeFormatting;
  std::function<std::shared_ptr<StatusItem>()> makeStatusItem;
  std::function<void(int)> exit;  // ends the process at once
  // The endpoint without its query, from the environment: wins over the "weatherEndpoint" setting.
  std::optional<std::string> weatherEndpoint;
  std::function<double()> now = secondsSince1970Now;  // decides which alerts have ended
  // The update check.
  Workspace& workspace;
  RtfReading readRTF = {};  // none: no revision history can be read
  std::string updateServerURL = STRATOVANE_UPDATE_URL;
  std::string contact = STRATOVANE_CONTACT;
  std::optional<std::string> runningVersion = STRATOVANE_VERSION;
  // Without it, "Settings" shows nothing (text bars have no views).
  ViewPresenter* viewPresenter = nullptr;
  // The settings view's start-at-login switch; none leaves it alone.
  Autostart* autostart = nullptr;
  // The settings view's place search.
  std::string geocodingEndpoint = defaultGeocodingEndpoint;
  LocationService* locationService = nullptr;  // none: no "Use my location"
  // Where the last weather is kept for the next start; none keeps nothing.
  CacheFiles* cacheFiles = nullptr;
  std::size_t largestAnswer = 8 * 1024 * 1024;  // larger kept answers are not kept
  // The desktop's notifications, for alerts coming in force; none sends nothing.
  Notifier* notifier = nullptr;
};

class AppDelegate : public UpdatePresenter {
 public:
  explicit AppDelegate(AppEnvironment environment);
  AppDelegate(const AppDelegate&) = delete;
  AppDelegate& operator=(const AppDelegate&) = delete;

  void applicationDidFinishLaunching();
  void applicationWillTerminate() {}

  // Menu actions.
  void showSettings();
  void quitApp();
  void updateApp() { updateCheck_.run(); }
  void updateMenu() { fetchFeed(); }
  void makeMenuItemEnabled() { showForecastWindow(); }
  // The first entry while the title says there is no key: Open-Meteo needs none.
  void useOpenMeteo();
  // The action of the alert entries: `alert` is the position in alerts().
  void showAlertWindow(std::size_t alert);

  void fetchFeed();
  void loadSettings();
  // Fetches like "Update forecast", at once: when a usable default route appears while the
  // last fetch found no network, and whenever the system wakes from sleep.
  void networkBecameReachable();
  void systemDidWake() { fetchFeed(); }
  void configureDisplayRotation();
  void changeDisplayMode();
  void addCommandItems();
  void updateStatusTitle();
  void updateForecastMenu();
  void showForecastWindow();

  // The update check's windows.
  void showErrorWindow(const std::string& message) override;
  void showUpdateWindow(const std::string& message,
                        const AttributedString& revisionHistory) override;
  void showNoUpdateWindow() override;

  // Runs on the background queue: builds the request, loads and parses the answer.
  // The settings it reads are read together, so they never mix values from before and after
  // a change.
  void downloadFeed(const UserDefaults& defaults, const std::string& apiKey,
                    std::uint64_t fetchNumber);

  const std::optional<JSON>& feed() const { return feed_; }
  std::int64_t displayMode() const { return displayMode_; }
  const std::shared_ptr<Timer>& updateDisplayTimer() const { return updateDisplayTimer_; }
  const std::shared_ptr<Timer>& fetchFeedTimer() const { return fetchFeedTimer_; }
  const std::shared_ptr<StatusItem>& statusItem() const { return statusItem_; }
  const std::string& dailyForcast() const { return dailyForcast_; }
  const std::string& dailyForcastIcon() const { return dailyForcastIcon_; }
  windowUpdate& updateWnd() { return updateWnd_; }
  ErrorWindow& errorWnd() { return errorWnd_; }
  NoUpdateWindow& alreadyUpdate() { return alreadyUpdate_; }
  forcastWindows& forcastWnd() { return forcastWnd_; }
  AlertWindow& alertWnd() { return alertWnd_; }
  // The alerts of the last menu rebuild, in the order of their entries.
  const std::vector<WeatherAlert>& alerts() const { return alerts_; }
  // Whether one of them has begun and not yet ended.
  bool alertInForce() const;
  // The credit the service of the shown answer asks for; empty when it asks for none.
  std::string dataCredit() const;

 private:
  void setTitle(const std::string& title);
  // The menu from its parts: the no-key offer, the forecast entries, then the commands.
  void rebuildMenu();
  void setNoKeyOffer(bool shown);
  // True when no later fetch has shown its outcome yet; marks this one as the latest shown.
  bool claimOutcome(std::uint64_t fetchNumber);
  // The forecast entries, `lead` first, and the forecast text from an answer.
  void showForecast(const JSON& answer, const std::string& service,
                    std::vector<ForecastEntry> lead = {});
  // After a fetch without weather: the last weather of the same request while it is young
  // enough, under a line saying how old it is and `failed`'s information lines; otherwise
  // `failed` as it is.
  void showLastWeather(const JSON* failed = nullptr);

  AppEnvironment env_;

  std::shared_ptr<Window> window_;  // never assigned; the sender of every window showing
  windowUpdate updateWnd_;
  ErrorWindow errorWnd_;
  NoUpdateWindow alreadyUpdate_;
  forcastWindows forcastWnd_;
  AlertWindow alertWnd_;
  const std::array<std::string_view, 18>& feedLanguage_ = feedLanguages;
  std::optional<JSON> feed_;
  std::string feedService_;              // the endpoint that answered `feed_`
  std::vector<MenuItem> forecastItems_;  // of the last menu rebuild from `feed_`
  bool noKeyOffer_ = false;              // the latest outcome shown was "No API key"
  std::int64_t displayMode_ = 0;
  std::shared_ptr<Timer> updateDisplayTimer_;
  std::shared_ptr<Timer> fetchFeedTimer_;
  const std::shared_ptr<StatusItem> statusItem_;
  std::string dailyForcast_;
  std::string dailyForcastIcon_;
  std::vector<WeatherAlert> alerts_;
  LastAnswer lastAnswer_;
  bool weatherShown_ = false;  // the forecast entries are those of a weather answer
  bool creditShown_ = false;
  AlertNotices alertNotices_;

  // One request at a time, and at most one more asked for while it is out.
  bool fetchInFlight_ = false;
  bool fetchAgain_ = false;
  // An outcome older than one already shown (by the gate) is dropped.
  std::uint64_t fetchesStarted_ = 0;
  std::uint64_t latestShownFetch_ = 0;
  bool offline_ = false;  // the latest outcome shown was "Offline"

  UpdateCheck updateCheck_;
  std::shared_ptr<View> settingsView_;  // while the settings view is open
};

}  // namespace stratovane
