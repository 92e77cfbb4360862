// Start-up, the command menu, the fetch gate, scheduling and the download of the weather answer.
#include "app/AppDelegate.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <utility>
#include <vector>

#include "platform/Translation.h"
#include "presentation/Forecast.h"
#include "presentation/StatusTitle.h"
#include "services/OpenMeteoAnswer.h"
#include "settings/presentSettingsView.h"

namespace stratovane {

namespace {
constexpr const char* kOpenMeteoCredit = trLater("Weather data by Open-Meteo.com");
}  // namespace

namespace {

// The body as the presentation reads it; none when it is not JSON.
std::optional<JSON> parsedAnswer(std::string body, const WeatherQuery& query) {
  try {
    JSON answer(Data{std::move(body)}, ReadingOptions{});
    // Everything downstream reads one shape.
    if (query.openMeteo()) return oneCallFromOpenMeteo(answer, query.language);
    return answer;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace

double secondsSince1970Now() {
  return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

AppDelegate::AppDelegate(AppEnvironment environment)
    : env_(std::move(environment)),
      updateWnd_(env_.interfaceLoader, env_.workspace, env_.updateServerURL + kArchivePath,
                 "windowUpdate"),
      errorWnd_(env_.interfaceLoader, "ErrorWindow"),
      alreadyUpdate_(env_.interfaceLoader, "NoUpdateWindow"),
      forcastWnd_(env_.interfaceLoader, "forcastWindows"),
      alertWnd_(env_.interfaceLoader),
      statusItem_(env_.makeStatusItem ? env_.makeStatusItem() : nullptr),
      lastAnswer_(env_.cacheFiles, env_.largestAnswer),
      alertNotices_({
          .notifier = env_.notifier,
          .files = env_.cacheFiles,
          .runLoop = env_.runLoop,
          .times = env_.timeFormatting,
          .now = env_.now,
          .enabled = [this] { return env_.defaults.integerForKey(SettingsKey::notifyAlerts) != 0; },
          .open =
              [this](const WeatherAlert& alert) {
                stratovane::showAlertWindow(alertWnd_, alert, env_.timeFormatting);
              },
      }),
      updateCheck_(
          UpdateEnvironment{
              .reachability = env_.reachability,
              .loader = env_.loader,
              .mainQueue = env_.mainQueue,
              .backgroundQueue = env_.backgroundQueue,
              .readRTF = env_.readRTF,
              .runningVersion = env_.runningVersion,
              .serverURL = env_.updateServerURL,
              .contact = env_.contact,
          },
          *this) {}

void AppDelegate::applicationDidFinishLaunching() {
  setTitle("\u23F1 " + std::string(tr("Fetching...")));
  if (statusItem_) statusItem_->setMenu(std::make_shared<Menu>());
  addCommandItems();
  // The first read of the run sees no fallbacks: they are registered only afterwards.
  loadSettings();
  const std::vector<std::pair<std::string, std::string>> fallbacks(registeredDefaults.begin(),
                                                                   registeredDefaults.end());
  env_.defaults.registerDefaults(fallbacks);
  env_.notificationCenter.addObserver(SettingsChanged, [this] { loadSettings(); });
  // Asked for as the first download will ask, fallbacks included; shown until an outcome comes.
  lastAnswer_.load(AnswerOrigin::of(weatherQueryFor(env_.weatherEndpoint, env_.defaults)),
                   env_.now());
  showLastWeather();
}

void AppDelegate::addCommandItems() {
  const auto menu = statusItem_ ? statusItem_->menu() : nullptr;
  if (!menu) return;
  menu->addItem(MenuItem::separatorItem());
  menu->addItem({tr("Update forecast"), [this] { updateMenu(); }});
  menu->addItem(MenuItem::separatorItem());
  menu->addItem({tr("Settings"), [this] { showSettings(); }});
  menu->addItem({tr("Check for update..."), [this] { updateApp(); }});
  menu->addItem(MenuItem::separatorItem());
  menu->addItem({tr("Quit"), [this] { quitApp(); }});
}

void AppDelegate::showSettings() {
  // The title stops rotating while the settings are open.
  if (updateDisplayTimer_) updateDisplayTimer_->invalidate();
  if (!env_.viewPresenter) return;
  // One settings view at a time: a second "Settings" brings the open one forward.
  if (settingsView_) {
    env_.viewPresenter->bringToFront(*settingsView_);
    return;
  }
  settingsView_ = presentSettingsView(
      {env_.defaults, env_.notificationCenter, env_.workspace, env_.interfaceLoader,
       *env_.viewPresenter, env_.autostart,
       PlaceSearchServices{env_.loader, env_.backgroundQueue, env_.mainQueue, env_.runLoop,
                           env_.geocodingEndpoint, env_.locationService}},
      PresentationStyle::transient, [this] { settingsView_.reset(); });
}

void AppDelegate::quitApp() {
  env_.exit(0);
}

void AppDelegate::loadSettings() {
  displayMode_ = env_.defaults.integerForKey(SettingsKey::statusBarOption);
  configureDisplayRotation();

  std::int64_t minutes = env_.defaults.integerForKey(SettingsKey::interval);
  if (minutes < 5) minutes = 30;
  constexpr auto longestMinutes = static_cast<std::int64_t>(Timer::kMaximumInterval) / 60;
  if (minutes > longestMinutes) minutes = longestMinutes;

  if (fetchFeedTimer_) fetchFeedTimer_->invalidate();
  fetchFeedTimer_ =
      env_.runLoop.scheduledTimer(static_cast<double>(minutes * 60), [this] { fetchFeed(); });
  fetchFeedTimer_->setTolerance(60);
  fetchFeed();
}

void AppDelegate::configureDisplayRotation() {
  const auto option = env_.defaults.stringForKey(SettingsKey::statusBarOption);
  if (!option) return;
  if (*option == "-1") {
    displayMode_ = 0;
    // Never leave a second rotation running, however loadSettings was reached.
    if (updateDisplayTimer_) updateDisplayTimer_->invalidate();
    updateDisplayTimer_ = env_.runLoop.scheduledTimer(2, [this] { changeDisplayMode(); });
  } else if (updateDisplayTimer_) {
    updateDisplayTimer_->invalidate();
  }
}

void AppDelegate::changeDisplayMode() {
  displayMode_ = displayMode_ >= 4 ? 0 : displayMode_ + 1;
  updateStatusTitle();
}

void AppDelegate::fetchFeed() {
  const std::uint64_t fetchNumber = ++fetchesStarted_;
  if (!env_.reachability.isConnectedToNetwork()) {
    latestShownFetch_ = fetchNumber;
    offline_ = true;
    setTitle("\u26A0\uFE0F " + std::string(tr("Offline")));
    setNoKeyOffer(false);
    showLastWeather();
    return;
  }
  // Open-Meteo needs no key, and is never sent the one the user has for OpenWeatherMap.
  std::string key;
  if (!weatherQueryFor(env_.weatherEndpoint, env_.defaults).openMeteo()) {
    const auto apiKey = env_.defaults.stringForKey(SettingsKey::apiKey);
    if (!apiKey || apiKey->empty()) {
      latestShownFetch_ = fetchNumber;
      offline_ = false;
      setTitle("\u26A0\uFE0F " + std::string(tr("No API key")));
      setNoKeyOffer(true);
      showLastWeather();
      return;
    }
    key = *apiKey;
  }
  // Every request counts with the service: triggers while one is out make one more after it.
  if (fetchInFlight_) {
    fetchAgain_ = true;
    return;
  }
  fetchInFlight_ = true;
  env_.backgroundQueue.async(
      [this, key = std::move(key), fetchNumber] { downloadFeed(env_.defaults, key, fetchNumber); });
}

void AppDelegate::useOpenMeteo() {
  env_.defaults.setString(openMeteoWeatherEndpoint, SettingsKey::weatherEndpoint);
  // As if the settings view had stored it: the timers restart and a fetch starts at once.
  env_.notificationCenter.post(SettingsChanged);
}

void AppDelegate::downloadFeed(const UserDefaults& defaults, const std::string& apiKey,
                               std::uint64_t fetchNumber) {
  WeatherQuery query;
  defaults.readTogether([&] { query = weatherQueryFor(env_.weatherEndpoint, defaults); });
  query.apiKey = query.openMeteo() ? std::string() : apiKey;
  // A URL that cannot be, and a body that is not JSON, change nothing; so does a change to One
  // Call after the gate let a keyless request through.
  const std::string url = weatherRequestURL(query);
  bool loadFailed = false;
  std::optional<JSON> answer;
  if (isValidURL(url) && (query.openMeteo() || !query.apiKey.empty())) {
    if (std::optional<std::string> body = env_.loader.load(url)) {
      answer = parsedAnswer(std::move(*body), query);
    } else {
      loadFailed = true;
    }
  }
  std::optional<KeptAnswer> weather;
  if (answer && LastAnswer::isWeather(*answer)) {
    weather = KeptAnswer{*answer, env_.now(), AnswerOrigin::of(query)};
    lastAnswer_.keep(*weather);  // here, off the main thread: it waits for the disk
  }
  env_.mainQueue.async([this, fetchNumber, loadFailed, answer = std::move(answer),
                        weather = std::move(weather), service = query.endpoint] {
    if (loadFailed && claimOutcome(fetchNumber)) {
      setTitle("\u26A0\uFE0F " + std::string(tr("Bad API call")));
      showLastWeather();
    }
    if (answer && claimOutcome(fetchNumber)) {
      feed_ = *answer;
      feedService_ = service;
      if (weather) lastAnswer_.remember(*weather);
      updateStatusTitle();
      updateForecastMenu();
    }
    // A body that is not JSON leaves the title as it was, but it is no weather either.
    if (!loadFailed && !answer && fetchNumber >= latestShownFetch_) showLastWeather();
    fetchInFlight_ = false;
    if (std::exchange(fetchAgain_, false)) fetchFeed();
  });
}

bool AppDelegate::claimOutcome(std::uint64_t fetchNumber) {
  if (fetchNumber < latestShownFetch_) return false;
  latestShownFetch_ = fetchNumber;
  offline_ = false;
  setNoKeyOffer(false);
  return true;
}

void AppDelegate::networkBecameReachable() {
  if (offline_) fetchFeed();
}

void AppDelegate::updateStatusTitle() {
  if (!feed_) return;
  setTitle(statusTitle(*feed_, displayMode_, env_.defaults, env_.numberFormatting));
}

void AppDelegate::updateForecastMenu() {
  if (!feed_) return;
  if (!LastAnswer::isWeather(*feed_)) return showLastWeather(&*feed_);
  showForecast(*feed_, feedService_);
}

void AppDelegate::showLastWeather(const JSON* failed) {
  const double now = env_.now();
  const std::optional<KeptAnswer> last = lastAnswer_.shown(
      AnswerOrigin::of(weatherQueryFor(env_.weatherEndpoint, env_.defaults)), now);
  if (!last) {
    if (failed) {
      showForecast(*failed, feedService_);
    } else if (weatherShown_) {
      // Weather of another place, or too old to be of use.
      forecastItems_.clear();
      alerts_.clear();
      dailyForcast_.clear();
      dailyForcastIcon_.clear();
      weatherShown_ = creditShown_ = false;
      rebuildMenu();
      alertNotices_.update({});
    }
    return;
  }
  std::vector<ForecastEntry> lead{
      {updatedLine(last->receivedAt, now, env_.timeFormatting), false, {}, false}};
  if (failed) {
    // What the service said instead of weather, such as a refused key.
    for (ForecastEntry& entry :
         buildForecast(*failed, env_.defaults, env_.numberFormatting, env_.timeFormatting, now,
                       feedService_ == defaultWeatherEndpoint)
             .entries)
      if (!entry.enabled && !entry.separator) lead.push_back(std::move(entry));
  }
  showForecast(last->answer, last->origin.endpoint, std::move(lead));
}

void AppDelegate::showForecast(const JSON& answer, const std::string& service,
                               std::vector<ForecastEntry> lead) {
  const bool openMeteo = isOpenMeteoEndpoint(service);
  Forecast forecast =
      buildForecast(answer, env_.defaults, env_.numberFormatting, env_.timeFormatting, env_.now(),
                    service == defaultWeatherEndpoint);
  // Kept before the menu changes: a front-end may redraw from alertInForce at each change.
  alerts_ = std::move(forecast.alerts);
  weatherShown_ = LastAnswer::isWeather(answer);
  creditShown_ = openMeteo;
  forecastItems_.clear();
  lead.insert(lead.end(), std::make_move_iterator(forecast.entries.begin()),
              std::make_move_iterator(forecast.entries.end()));
  for (auto& entry : lead) {
    if (entry.separator) {
      forecastItems_.push_back(MenuItem::separatorItem());
      continue;
    }
    MenuItem item{std::move(entry.title), {}, false, entry.enabled};
    if (entry.alert) {
      item.action = [this, alert = *entry.alert] { showAlertWindow(alert); };
    } else if (entry.enabled) {
      item.action = [this] { makeMenuItemEnabled(); };
    }
    forecastItems_.push_back(std::move(item));
  }
  if (openMeteo) forecastItems_.push_back({tr(kOpenMeteoCredit), {}, false, false});
  forecastItems_.push_back(MenuItem::separatorItem());
  dailyForcast_ = std::move(forecast.dailyForcast);
  dailyForcastIcon_ = std::move(forecast.dailyForcastIcon);
  rebuildMenu();
  alertNotices_.update(alerts_);
}

void AppDelegate::setNoKeyOffer(bool shown) {
  if (noKeyOffer_ == shown) return;
  noKeyOffer_ = shown;
  rebuildMenu();
}

void AppDelegate::rebuildMenu() {
  const auto menu = statusItem_ ? statusItem_->menu() : nullptr;
  if (!menu) return;
  menu->removeAllItems();
  // Text bars say it once on standard error instead: nobody can choose it there.
  if (noKeyOffer_ && statusItem_->menuIsChoosable()) {
    menu->addItem({tr("Use Open-Meteo (no key needed)"), [this] { useOpenMeteo(); }});
    if (!forecastItems_.empty()) menu->addItem(MenuItem::separatorItem());
  }
  for (const MenuItem& item : forecastItems_) menu->addItem(item);
  addCommandItems();
}

std::string AppDelegate::dataCredit() const {
  return creditShown_ ? tr(kOpenMeteoCredit) : "";
}

void AppDelegate::showForecastWindow() {
  stratovane::showForecastWindow(forcastWnd_, dailyForcast_, dailyForcastIcon_);
}

void AppDelegate::showErrorWindow(const std::string& message) {
  stratovane::showErrorWindow(errorWnd_, message);
}

void AppDelegate::showUpdateWindow(const std::string& message,
                                   const AttributedString& revisionHistory) {
  stratovane::showUpdateWindow(updateWnd_, message, revisionHistory);
}

void AppDelegate::showNoUpdateWindow() {
  stratovane::showNoUpdateWindow(alreadyUpdate_);
}

void AppDelegate::showAlertWindow(std::size_t alert) {
  if (alert < alerts_.size())
    stratovane::showAlertWindow(alertWnd_, alerts_[alert], env_.timeFormatting);
}

bool AppDelegate::alertInForce() const {
  const double now = env_.now();
  return std::ranges::any_of(alerts_, [now](const WeatherAlert& alert) {
    return (!alert.start || *alert.start <= now) && (!alert.end || now < *alert.end);
  });
}

void AppDelegate::setTitle(const std::string& title) {
  if (statusItem_ && statusItem_->hasButton()) statusItem_->setTitle(title);
}

}  // namespace stratovane
