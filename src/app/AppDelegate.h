// The application controller: start-up, the panel item and its menu, timers and the weather fetch.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/InternetReachability.h"
#include "app/Settings.h"
#include "app/WeatherRequest.h"
#include "json/JSON.h"
#include "platform/Formatting.h"
#include "platform/HttpLoader.h"
#include "platform/NotificationCenter.h"
#include "platform/RunLoop.h"
#include "platform/StatusItem.h"
#include "platform/UserDefaults.h"
#include "platform/ViewPresenter.h"
#include "platform/Widgets.h"
#include "platform/Workspace.h"
#include "presentation/forcastWindows.h"

namespace stratovane {

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
  std::function<void(int)> exit;                         // ends the process at once
  std::string weatherEndpoint = defaultWeatherEndpoint;  // without its query
  // Without both, "Settings" shows nothing (text bars have no views).
  Workspace* workspace = nullptr;
  ViewPresenter* viewPresenter = nullptr;
};

class AppDelegate {
 public:
  explicit AppDelegate(AppEnvironment environment);
  AppDelegate(const AppDelegate&) = delete;
  AppDelegate& operator=(const AppDelegate&) = delete;

  void applicationDidFinishLaunching();
  void applicationWillTerminate() {}

  // Menu actions.
  void showSettings();
  void quitApp();
  void updateApp() {}
  void updateMenu() { fetchFeed(); }
  void makeMenuItemEnabled() { showForecastWindow(); }

  void fetchFeed();
  void loadSettings();
  void configureDisplayRotation();
  void changeDisplayMode();
  void addCommandItems();
  void updateStatusTitle();
  void updateForecastMenu();
  void showForecastWindow();

  // Runs on the background queue: builds the request, loads and parses the answer.
  void downloadFeed(const UserDefaults& defaults, const std::string& apiKey,
                    std::uint64_t fetchNumber);

  const std::optional<JSON>& feed() const { return feed_; }
  std::int64_t displayMode() const { return displayMode_; }
  const std::shared_ptr<Timer>& updateDisplayTimer() const { return updateDisplayTimer_; }
  const std::shared_ptr<Timer>& fetchFeedTimer() const { return fetchFeedTimer_; }
  const std::shared_ptr<StatusItem>& statusItem() const { return statusItem_; }
  const std::string& dailyForcast() const { return dailyForcast_; }
  const std::string& dailyForcastIcon() const { return dailyForcastIcon_; }
  forcastWindows& forcastWnd() { return forcastWnd_; }

 private:
  void setTitle(const std::string& title);
  // True when no later fetch has shown its outcome yet; marks this one as the latest shown.
  bool claimOutcome(std::uint64_t fetchNumber);

  AppEnvironment env_;

  std::shared_ptr<Window> window_;  // never assigned; the sender of every window showing
  forcastWindows forcastWnd_;
  const std::array<std::string_view, 18>& feedLanguage_ = feedLanguages;
  std::optional<JSON> feed_;
  std::int64_t displayMode_ = 0;
  std::shared_ptr<Timer> updateDisplayTimer_;
  std::shared_ptr<Timer> fetchFeedTimer_;
  const std::shared_ptr<StatusItem> statusItem_;
  std::string dailyForcast_;
  std::string dailyForcastIcon_;

  // Fetches overlap; an outcome older than one already shown is dropped.
  std::uint64_t fetchesStarted_ = 0;
  std::uint64_t latestShownFetch_ = 0;

  std::shared_ptr<View> settingsView_;  // while the settings view is open
};

}  // namespace stratovane
