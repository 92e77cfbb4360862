// The controller on fake platform services with virtual time: start-up, scheduling, the fetch,
// the settings view.
#include "app/AppDelegate.h"

#include <gtest/gtest.h>

#include "platform/system/FileUserDefaults.h"
#include "platform/system/IcuTimeFormatting.h"
#include "platform/system/LocaleNumberFormatting.h"
#include "presentation/Forecast.h"
#include "presentation/PresentationTestSupport.h"
#include "support/FakeCacheFiles.h"
#include "support/FakePlatform.h"
#include "support/FakeWidgets.h"

namespace stratovane {
namespace {

using testing::FakeHttpLoader;
using testing::FakeQueue;
using testing::FakeReachability;
using testing::FakeRunLoop;
using testing::FakeStatusItem;

constexpr double kNoon = 1700049600;  // Wednesday 2023-11-15 12:00 UTC, the start of the clock
const std::string kFetching = "\u23F1 Fetching...";
const std::string kOffline = "\u26A0\uFE0F Offline";
const std::string kNoKey = "\u26A0\uFE0F No API key";
const std::string kBadCall = "\u26A0\uFE0F Bad API call";
const std::string kUseOpenMeteo = "Use Open-Meteo (no key needed)";
const std::vector<std::string> kCommandMenu = {
    "---", "Update forecast", "---", "Settings", "Check for update...", "---", "Quit"};

// A small answer whose description names the place, so a test can tell answers apart.
std::string answer(const std::string& description, double temp = 21.6) {
  return R"({"current":{"temp":)" + std::to_string(temp) +
         R"(,"clouds":75,"weather":[{"description":")" + description + R"(","icon":"01d"}]}})";
}

class AppDelegateTest : public ::testing::Test {
 protected:
  AppDelegateTest() { defaults.setString("key", SettingsKey::apiKey); }

  AppDelegate& launch() {
    app = std::make_unique<AppDelegate>(AppEnvironment{
        .runLoop = runLoop,
        .mainQueue = mainQueue,
        .backgroundQueue = backgroundQueue,
        .defaults = defaults,
        .notificationCenter = notifications,
        .loader = loader,
        .reachability = reachability,
        .interfaceLoader = windows,
        .numberFormatting = numbers,
        .timeFormatting = times,
        .makeStatusItem = [this] { return statusItem; },
        .exit = [](int) {},
        .weatherEndpoint = environmentEndpoint,
        .now = [this] { return kNoon + runLoop.now(); },
        .workspace = workspace,
        .viewPresenter = viewPresenter,
        .cacheFiles = &cacheFiles,
        .notifier = notifier,
    });
    app->applicationDidFinishLaunching();
    return *app;
  }

  // Lets the background jobs and then the main-queue jobs they post run.
  void settle() {
    backgroundQueue.runAll();
    mainQueue.runAll();
  }

  void saveSettings() { notifications.post(SettingsChanged); }

  std::vector<double> fetchTimerPeriods() const {
    std::vector<double> periods;
    for (const auto& timer : runLoop.validTimers())
      if (timer->timeInterval() != 2) periods.push_back(timer->timeInterval());
    return periods;
  }

  std::string feedDescription() const {
    return app->feed() ? (*app->feed())["current"]["weather"][0]["description"].stringValue()
                       : "<none>";
  }

  FakeRunLoop runLoop;
  FakeQueue mainQueue;
  FakeQueue backgroundQueue;
  FileUserDefaults defaults{""};
  NotificationCenter notifications;
  FakeHttpLoader loader;
  testing::FakeWorkspace workspace;
  FakeReachability routes;
  InternetReachability reachability{&routes};
  testing::FakeInterfaceLoader windows;
  const LocaleNumberFormatting numbers{"C"};
  const testing::ScopedEnv utc{"TZ", "UTC"};
  const IcuTimeFormatting times{"C"};
  std::shared_ptr<FakeStatusItem> statusItem = std::make_shared<FakeStatusItem>();
  std::unique_ptr<AppDelegate> app;
  std::optional<std::string> environmentEndpoint = "https://weather.test/onecall";
  ViewPresenter* viewPresenter = nullptr;
  testing::FakeCacheFiles cacheFiles;
  Notifier* notifier = nullptr;
};

TEST_F(AppDelegateTest, FirstLaunchWithNothingStored) {
  defaults.removeObject(SettingsKey::apiKey);
  launch();
  EXPECT_EQ(statusItem->titles, (std::vector<std::string>{kFetching, kNoKey}));
  std::vector<std::string> menu = kCommandMenu;
  menu.insert(menu.begin(), kUseOpenMeteo);
  EXPECT_EQ(statusItem->menuTitles(), menu);
  // The first read came before the fallbacks: no rotation although the fallback is "-1".
  EXPECT_EQ(app->updateDisplayTimer(), nullptr);
  EXPECT_EQ(app->displayMode(), 0);
  ASSERT_EQ(fetchTimerPeriods(), std::vector<double>{1800});
  EXPECT_EQ(app->fetchFeedTimer()->tolerance(), 60);
  EXPECT_EQ(defaults.stringForKey(SettingsKey::statusBarOption), "-1");
}

TEST_F(AppDelegateTest, WithoutAButtonNoTitleIsWrittenButTheMenuIs) {
  statusItem->hasButton_ = false;
  launch();
  EXPECT_TRUE(statusItem->titles.empty());
  EXPECT_EQ(statusItem->menuTitles(), kCommandMenu);
}

TEST_F(AppDelegateTest, OfflineLaunchWaitsForARouteWithoutTouchingTheScheduleWakingAlways) {
  routes.flags = ReachabilityService::kReachable | ReachabilityService::kConnectionRequired;
  defaults.setInteger(-1, SettingsKey::statusBarOption);
  launch();
  EXPECT_EQ(backgroundQueue.size(), 0u);
  runLoop.advance(10);  // the rotation leaves the title
  EXPECT_EQ(statusItem->titles, (std::vector<std::string>{kFetching, kOffline}));
  routes.flags = ReachabilityService::kReachable;
  runLoop.advance(590);
  app->networkBecameReachable();
  EXPECT_EQ(backgroundQueue.size(), 1u);
  loader.response = answer("clear sky");
  settle();
  EXPECT_EQ(feedDescription(), "clear sky");
  // Once an outcome other than Offline is shown, a new route is no reason to fetch.
  app->networkBecameReachable();
  EXPECT_EQ(backgroundQueue.size(), 0u);
  EXPECT_EQ(fetchTimerPeriods(), std::vector<double>{1800});
  runLoop.advance(1200);
  EXPECT_EQ(backgroundQueue.size(), 1u);  // the timer still fires 1800 s after launch
  settle();
  app->systemDidWake();
  app->systemDidWake();  // waits for the first
  EXPECT_EQ(backgroundQueue.size(), 1u);
}

TEST_F(AppDelegateTest, LoadsRunInTheBackgroundWithTheRegisteredFallbacks) {
  launch();
  ASSERT_EQ(backgroundQueue.size(), 1u);
  statusItem->choose("Check for update...");
  EXPECT_TRUE(loader.urls.empty());
  settle();
  EXPECT_EQ(loader.urls,
            (std::vector<std::string>{
                "https://weather.test/onecall?lat=59.4040015148249&lon=17.994089135126462"
                "&units=metric&lang=en&appid=key",
                std::string(STRATOVANE_UPDATE_URL) + "/version/stratovane_version.txt"}));
}

TEST_F(AppDelegateTest, FetchTimerFetchesEveryPeriodAndASettingsChangeLeavesOneAndFetches) {
  defaults.setInteger(10, SettingsKey::interval);
  launch();
  settle();
  const std::pair<double, std::size_t> advances[] = {{599, 1}, {1, 2}, {600, 3}, {600, 4}};
  for (const auto& [seconds, loads] : advances) {
    runLoop.advance(seconds);
    settle();
    EXPECT_EQ(loader.urls.size(), loads) << runLoop.now();
  }
  const std::pair<std::int64_t, double> periods[] = {
      {4, 1800}, {5, 300}, {120, 7200}, {0, 1800}, {-7, 1800}, {INT64_MAX, 4294967280.0}};
  for (const auto& [minutes, seconds] : periods) {
    defaults.setInteger(minutes, SettingsKey::interval);
    const auto loadsBefore = loader.urls.size();
    saveSettings();
    settle();
    EXPECT_EQ(fetchTimerPeriods(), std::vector<double>{seconds}) << minutes;
    EXPECT_EQ(app->fetchFeedTimer()->tolerance(), 60);
    EXPECT_EQ(loader.urls.size(), loadsBefore + 1) << minutes;
  }
}

TEST_F(AppDelegateTest, RotationStepsEveryTwoSeconds) {
  defaults.setInteger(-1, SettingsKey::statusBarOption);
  loader.response = answer("clear sky");
  launch();
  settle();
  ASSERT_NE(app->updateDisplayTimer(), nullptr);
  std::vector<std::int64_t> modes{app->displayMode()};
  for (int step = 0; step < 5; ++step) {
    runLoop.advance(2);
    modes.push_back(app->displayMode());
  }
  EXPECT_EQ(modes, (std::vector<std::int64_t>{0, 1, 2, 3, 4, 0}));
  // Every step rewrote the title from the stored answer.
  EXPECT_EQ(statusItem->titles.back(), statusItem->titles[statusItem->titles.size() - 6]);
  EXPECT_EQ(statusItem->titles.size(), 7u);

  // Saving the settings twice leaves exactly one rotation.
  saveSettings();
  saveSettings();
  runLoop.advance(2);
  EXPECT_EQ(app->displayMode(), 1);

  // A fixed mode stops it and stays.
  defaults.setInteger(3, SettingsKey::statusBarOption);
  saveSettings();
  EXPECT_FALSE(app->updateDisplayTimer()->isValid());
  runLoop.advance(10);
  EXPECT_EQ(app->displayMode(), 3);
}

TEST_F(AppDelegateTest, OutcomesOfAFetch) {
  defaults.setInteger(0, SettingsKey::statusBarOption);
  launch();
  settle();
  struct Step {
    const char* what;
    const char* key;
    std::optional<std::string> response;
    std::string title;
    std::size_t loads;
  };
  const Step steps[] = {
      {"an answer", "key", answer("first"), "\u2600\uFE0F first", 1},
      {"a failed load keeps the answer", "key", std::nullopt, kBadCall, 1},
      {"so does a body that is not JSON", "key", "<html>502 Bad Gateway</html>", kBadCall, 1},
      {"a key a URL cannot hold loads nothing", "a key", answer("second"), kBadCall, 0},
      {"a key of blanks is a key", "  ", answer("second"), kBadCall, 0},
      {"an empty key is none", "", answer("second"), kNoKey, 0},
  };
  for (const auto& [what, key, response, title, loads] : steps) {
    SCOPED_TRACE(what);
    defaults.setString(key, SettingsKey::apiKey);
    loader.response = response;
    const auto loadsBefore = loader.urls.size();
    const auto jobsBefore = backgroundQueue.size();
    statusItem->choose("Update forecast");
    EXPECT_EQ(backgroundQueue.size(), jobsBefore + (*key ? 1 : 0));
    settle();
    EXPECT_EQ(loader.urls.size(), loadsBefore + loads);
    EXPECT_EQ(statusItem->title(), title);
    EXPECT_EQ(feedDescription(), "first");
    EXPECT_EQ(statusItem->menuTitles().back(), "Quit");
  }

  // An error report is JSON: it replaces the answer, whatever the HTTP status was.
  defaults.setString("key", SettingsKey::apiKey);
  loader.response = R"({"cod":401,"message":"Invalid API key."})";
  statusItem->choose("Update forecast");
  settle();
  ASSERT_TRUE(app->feed());
  EXPECT_EQ((*app->feed())["cod"].doubleValue(), 401);
  EXPECT_EQ(statusItem->title(), "Error");
}

TEST_F(AppDelegateTest, EndpointSettingIsReadPerFetchAndA401From25PointsToSettings) {
  environmentEndpoint.reset();
  loader.response = R"({"cod":401,"message":"Invalid API key."})";
  launch();
  settle();
  EXPECT_EQ(loader.urls.back().rfind(std::string(defaultWeatherEndpoint) + "?lat=", 0), 0u);
  EXPECT_EQ(statusItem->menuTitles().at(1), kOneCall25Closed);  // below the service's message

  defaults.setString(oneCall30WeatherEndpoint, SettingsKey::weatherEndpoint);
  saveSettings();
  settle();
  EXPECT_EQ(loader.urls.back().rfind(std::string(oneCall30WeatherEndpoint) + "?lat=", 0), 0u);
  EXPECT_EQ(statusItem->menuTitles().at(1), "---");
}

TEST_F(AppDelegateTest, WithoutAKeyOneClickChoosesOpenMeteoAndItsCreditFollowsItsAnswers) {
  environmentEndpoint.reset();
  defaults.removeObject(SettingsKey::apiKey);
  defaults.setInteger(0, SettingsKey::statusBarOption);
  loader.response = R"({"current": {"time": 1700049600, "temperature_2m": 3, "weather_code": 3},
    "hourly": {"time": [1700049600, 1700053200], "temperature_2m": [3, 2]}})";
  launch();
  settle();
  EXPECT_TRUE(loader.urls.empty());
  EXPECT_EQ(statusItem->title(), kNoKey);
  statusItem->choose(kUseOpenMeteo);
  settle();
  EXPECT_EQ(defaults.stringForKey(SettingsKey::weatherEndpoint), openMeteoWeatherEndpoint);
  ASSERT_EQ(loader.urls.size(), 1u);
  EXPECT_TRUE(loader.urls[0].starts_with(std::string(openMeteoWeatherEndpoint) + "?latitude="));
  EXPECT_EQ(statusItem->title(), "\u2601\uFE0F overcast clouds");
  // The offer has gone; the credit follows the hours.
  const std::vector<std::string> menu = statusItem->menuTitles();
  ASSERT_GE(menu.size(), 4u);
  EXPECT_NE(menu[0], kUseOpenMeteo);
  EXPECT_EQ(menu[2], "Weather data by Open-Meteo.com");
  EXPECT_EQ(menu[3], "---");
  EXPECT_EQ(app->dataCredit(), "Weather data by Open-Meteo.com");

  // Back on One Call with a key, the credit goes with the answer it was for.
  defaults.setString("secret", SettingsKey::apiKey);
  defaults.removeObject(SettingsKey::weatherEndpoint);
  loader.response = answer("key answer");
  saveSettings();
  settle();
  EXPECT_EQ(app->dataCredit(), "");
  EXPECT_TRUE(loader.urls.back().ends_with("&appid=secret"));
}

TEST_F(AppDelegateTest, TriggersWhileAFetchIsOutMakeOneMoreWithTheSettingsOfThen) {
  loader.respond = [](const std::string& url) -> std::optional<std::string> {
    return answer(url.find("lat=1.0") != std::string::npos ? "old place" : "new place");
  };
  defaults.setDouble(1, SettingsKey::latitude);
  launch();
  // A storm of triggers while the first request is out, the place changed in its middle.
  for (int i = 0; i < 50; ++i) statusItem->choose("Update forecast");
  backgroundQueue.runAll();
  defaults.setDouble(2, SettingsKey::latitude);
  saveSettings();
  for (int i = 0; i < 50; ++i) app->systemDidWake();
  EXPECT_EQ(backgroundQueue.size(), 0u);
  // Its answer arrives, and one more request follows with the settings as they are now.
  mainQueue.runAll();
  EXPECT_EQ(feedDescription(), "old place");
  ASSERT_EQ(backgroundQueue.size(), 1u);
  settle();
  ASSERT_EQ(loader.urls.size(), 2u);
  EXPECT_NE(loader.urls[1].find("?lat=2.0&lon="), std::string::npos);
  EXPECT_EQ(feedDescription(), "new place");
  EXPECT_EQ(backgroundQueue.size(), 0u);

  // A request that ends without an answer frees the way too.
  loader.respond = nullptr;
  loader.response = "<html>not JSON</html>";
  statusItem->choose("Update forecast");
  statusItem->choose("Update forecast");
  settle();
  settle();
  EXPECT_EQ(loader.urls.size(), 4u);
  loader.response = answer("new place");

  // Nor does an earlier success overwrite a later failure title.
  statusItem->choose("Update forecast");
  routes.flags = 0;
  statusItem->choose("Update forecast");
  settle();
  EXPECT_EQ(statusItem->title(), kOffline);

  // In order, each outcome shows.
  routes.flags = ReachabilityService::kReachable;
  statusItem->choose("Update forecast");
  settle();
  EXPECT_EQ(statusItem->title(), "\u2600\uFE0F new place");
}

TEST_F(AppDelegateTest, AlertsLeadTheMenuEachOpensItsOwnWindowAndAreInForceFromStartToEnd) {
  // Heat from 11:00 to 18:00 today, a storm tomorrow from 03:00 to 16:00, fog that has ended.
  loader.response = R"({"message": "Partial", "hourly": [{"dt": 1700049600, "temp": 21}],
    "alerts": [{"event": "Heat", "sender_name": "DWD", "start": 1700046000, "end": 1700071200},
    {"event": "Storm", "start": 1700103600, "end": 1700150400, "description": "Gusts."},
    {"event": "Fog", "end": 1700047800}]})";
  launch();
  settle();
  const std::string warning = "\u26A0\uFE0F ";
  statusItem->choose(warning + "Storm until Thu 16:00");
  EXPECT_EQ(windows.get<testing::FakeTextFieldCell>("alertEventTxt")->title(), "Storm");
  statusItem->choose(warning + "Heat until 18:00");
  EXPECT_EQ(windows.get<testing::FakeTextFieldCell>("alertEventTxt")->title(), "Heat");
  EXPECT_EQ(windows.loadCount("AlertWindow"), 1);
  statusItem->choose(" 12:00:  : 21 \u00B0");
  EXPECT_EQ(windows.loadCount("forcastWindows"), 1);

  EXPECT_TRUE(app->alertInForce());
  runLoop.advance(6 * 3600);  // 18:00: the heat is over, the storm has not begun
  EXPECT_FALSE(app->alertInForce());
  EXPECT_EQ(app->alerts().size(), 2u);  // listed until the next answer
}

// Hours from 11:00 to 13:00 today, each named `description`.
std::string hours(const std::string& description) {
  std::string hourly;
  for (int hour = 0; hour < 3; ++hour) {
    hourly += (hour ? "," : "") + std::string(R"({"dt":)") +
              std::to_string(1700046000 + hour * 3600) + R"(,"temp":)" + std::to_string(hour + 1) +
              R"(,"weather":[{"description":")" + description + R"(","icon":"01d"}]})";
  }
  return R"({"current":{"temp":3},"hourly":[)" + hourly + "]}";
}

TEST_F(AppDelegateTest, TheLastWeatherShowsAtStartAndAfterFailuresUnderItsAgeNeverInTheTitle) {
  const AnswerOrigin asked{*environmentEndpoint, 59.4040015148249, 17.994089135126462, true, "en"};
  LastAnswer(&cacheFiles, 1 << 20).keep({JSON::parseJSON(hours("kept")), kNoon - 7200, asked});
  const auto menu = [](std::vector<std::string> entries) {
    for (std::string& entry : entries)
      if (entry.find(" : ") != std::string::npos) entry = "\u2600\uFE0F " + entry + " \u00B0";
    entries.push_back("---");
    entries.insert(entries.end(), kCommandMenu.begin(), kCommandMenu.end());
    return entries;
  };
  // Offline at start: the kept weather from the current hour on; the title as ever.
  routes.flags = 0;
  defaults.setInteger(-1, SettingsKey::statusBarOption);
  launch();
  runLoop.advance(4);
  EXPECT_EQ(statusItem->titles, (std::vector<std::string>{kFetching, kOffline}));
  EXPECT_EQ(statusItem->menuTitles(),
            menu({"Updated at 10:00", "12:00: kept : 2", "13:00: kept : 3"}));
  EXPECT_NE(app->dailyForcast(), "");

  // Weather: the line goes, and the answer is kept.
  routes.flags = ReachabilityService::kReachable;
  loader.response = hours("fresh");
  app->networkBecameReachable();
  settle();
  EXPECT_EQ(statusItem->menuTitles()[0], "\u2600\uFE0F 11:00: fresh : 1 \u00B0");
  EXPECT_NE(cacheFiles.files[LastAnswer::kFileName].find("fresh"), std::string::npos);

  // A refused load an hour later, then an error report whose message comes under the line.
  loader.response.reset();
  runLoop.advance(3600);
  settle();
  EXPECT_EQ(statusItem->title(), kBadCall);
  EXPECT_EQ(statusItem->menuTitles(), menu({"Updated at 12:00", "13:00: fresh : 3"}));
  loader.response = R"({"cod":401,"message":"Invalid API key."})";
  statusItem->choose("Update forecast");
  settle();
  settle();
  EXPECT_EQ(statusItem->menuTitles(),
            menu({"Updated at 12:00", "\u26A0\uFE0F Invalid API key.", "13:00: fresh : 3"}));

  // Another place: what is known is of elsewhere and goes.
  defaults.setDouble(1, SettingsKey::latitude);
  loader.response.reset();
  saveSettings();
  settle();
  EXPECT_EQ(statusItem->menuTitles(), kCommandMenu);
}

// "Settings" in the panel menu: the rotation stops, one fresh view at a time, closing refetches.
class AppDelegateSettingsTest : public AppDelegateTest {
 protected:
  AppDelegateSettingsTest() {
    viewPresenter = &presenter;
    defaults.setInteger(-1, SettingsKey::statusBarOption);
    windows.setPopUpItems("statusBarOption", {{"Rotating", -1}, {"Description", 0}}, 0);
    launch();
  }

  bool rotating() const {
    return app->updateDisplayTimer() && app->updateDisplayTimer()->isValid();
  }

  testing::FakeViewPresenter presenter;
};

TEST_F(AppDelegateSettingsTest, OneViewAtATimeStopsTheRotationAndClosingRestartsItAndFetches) {
  ASSERT_TRUE(rotating());
  settle();
  const std::size_t fetches = backgroundQueue.size();
  statusItem->choose("Settings");
  const std::shared_ptr<View> first = presenter.view;
  EXPECT_FALSE(rotating());
  EXPECT_EQ(presenter.style, PresentationStyle::transient);
  statusItem->choose("Settings");  // brought forward, not built again
  EXPECT_EQ(presenter.presentCount, 1);
  EXPECT_EQ(windows.loadCount("Main"), 1);
  EXPECT_EQ(presenter.broughtToFront, std::vector<View*>{first.get()});
  EXPECT_EQ(backgroundQueue.size(), fetches);

  ASSERT_TRUE(presenter.close());
  EXPECT_TRUE(rotating());
  EXPECT_EQ(backgroundQueue.size(), fetches + 1);
  EXPECT_EQ(defaults.integerForKey(SettingsKey::statusBarOption), -1);
  statusItem->choose("Settings");
  EXPECT_EQ(presenter.presentCount, 2);
  EXPECT_EQ(windows.loadCount("Main"), 2);
  EXPECT_NE(presenter.view, first);
}

TEST_F(AppDelegateSettingsTest, AMissingInterfaceFileLeavesTheSettingsUnopened) {
  windows.setMissingInterface("Main");
  statusItem->choose("Settings");
  EXPECT_EQ(presenter.presentCount, 0);
  // Nothing is held open: the next try loads again.
  statusItem->choose("Settings");
  EXPECT_EQ(windows.loadCount("Main"), 2);
}

}  // namespace
}  // namespace stratovane
