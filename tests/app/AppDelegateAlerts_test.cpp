// The controller with alerts in the answer: the menu's order, the alert window, "in force".
#include <gtest/gtest.h>

#include <cstdio>

#include "app/AppDelegate.h"
#include "platform/system/FileUserDefaults.h"
#include "support/FakePlatform.h"
#include "support/FakeWidgets.h"

namespace stratovane {
namespace {

constexpr double kNoon = 1700049600;  // Wednesday 2023-11-15 12:00 UTC
const std::string kWarning = "\u26A0\uFE0F ";

class PlainNumbers : public NumberFormatting {
 public:
  std::string fixed(double value, int decimals) const override {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
  }
};

class UtcTimes : public TimeFormatting {
 public:
  std::string shortTime(double seconds) const override {
    const auto minutes = static_cast<long long>(seconds) / 60;
    char text[16];
    std::snprintf(text, sizeof text, "%02lld:%02lld", (minutes / 60) % 24, minutes % 60);
    return text;
  }
  std::string weekdayShortTime(double seconds) const override {
    static constexpr const char* days[] = {"Thu", "Fri", "Sat", "Sun", "Mon", "Tue", "Wed"};
    return days[static_cast<long long>(seconds) / 86400 % 7] + (" " + shortTime(seconds));
  }
  bool sameDay(double one, double other) const override {
    return static_cast<long long>(one) / 86400 == static_cast<long long>(other) / 86400;
  }
};

// Heat from 11:00 to 18:00 today, a storm tomorrow from 03:00 to 16:00, a wind warning without
// times, one that ended at 11:30; a message line and two hours.
const char* kAnswer = R"({"message": "Partial answer",
  "alerts": [
    {"sender_name": "DWD", "event": "Heat", "start": 1700046000, "end": 1700071200,
     "description": "Hot.\nDrink water."},
    {"sender_name": "DWD", "event": "Storm", "start": 1700103600, "end": 1700150400,
     "description": "Gusts."},
    {"sender_name": "DWD", "event": "Wind"},
    {"sender_name": "DWD", "event": "Fog", "start": 1700040000, "end": 1700047800}],
  "hourly": [
    {"dt": 1700049600, "temp": 21, "weather": [{"description": "clear", "icon": "01d"}]},
    {"dt": 1700053200, "temp": 22, "weather": [{"description": "clear", "icon": "01d"}]}]})";

class AppDelegateAlertsTest : public ::testing::Test {
 protected:
  AppDelegateAlertsTest() {
    defaults.setString("key", SettingsKey::apiKey);
    app.applicationDidFinishLaunching();
    windows.setDocumentView("alertTxt", "alertTxtView");
  }

  void fetch(const std::string& body) {
    loader.response = body;
    app.updateMenu();
    backgroundQueue.runAll();
    mainQueue.runAll();
  }

  testing::FakeRunLoop runLoop;
  testing::FakeQueue mainQueue;
  testing::FakeQueue backgroundQueue;
  FileUserDefaults defaults{""};
  NotificationCenter notifications;
  testing::FakeHttpLoader loader;
  testing::FakeReachability routes;
  InternetReachability reachability{&routes};
  testing::FakeInterfaceLoader windows;
  PlainNumbers numbers;
  UtcTimes times;
  std::shared_ptr<testing::FakeStatusItem> statusItem = std::make_shared<testing::FakeStatusItem>();
  AppDelegate app{AppEnvironment{
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
      .now = [this] { return kNoon + runLoop.now(); },
  }};
};

TEST_F(AppDelegateAlertsTest, AlertsLeadTheMenuAndEachOpensItsOwnWindow) {
  fetch(kAnswer);
  const std::string title = statusItem->title();
  EXPECT_EQ(
      statusItem->menuTitles(),
      (std::vector<std::string>{
          kWarning + "Partial answer", kWarning + "Heat until 18:00",
          kWarning + "Storm until Thu 16:00", kWarning + "Wind", "---",
          "\u2600\uFE0F 12:00: clear : 21 \u00B0", "\u2600\uFE0F 13:00: clear : 22 \u00B0", "---",
          "---", "Update forecast", "---", "Settings", "Check for update...", "---", "Quit"}));

  statusItem->choose(kWarning + "Storm until Thu 16:00");
  EXPECT_EQ(windows.textFieldCell("alertEventTxt")->title(), "Storm");
  EXPECT_EQ(windows.textFieldCell("alertStartTxt")->title(), "Thu 03:00");
  EXPECT_EQ(windows.textView("alertTxtView")->string(), "Gusts.");
  statusItem->choose(kWarning + "Heat until 18:00");
  EXPECT_EQ(windows.textFieldCell("alertEventTxt")->title(), "Heat");
  EXPECT_EQ(windows.textFieldCell("alertSenderTxt")->title(), "DWD");
  EXPECT_EQ(windows.textView("alertTxtView")->string(), "Hot.\nDrink water.");
  EXPECT_EQ(windows.loadCount("AlertWindow"), 1);
  // The hours still open the forecast window; the title took no notice of the alerts.
  statusItem->choose("\u2600\uFE0F 12:00: clear : 21 \u00B0");
  EXPECT_EQ(windows.loadCount("forcastWindows"), 1);
  EXPECT_EQ(statusItem->title(), title);

  // The next answer replaces the alerts: an entry kept from before opens nothing stale.
  const auto oldMenu = statusItem->menu()->items();
  fetch(R"({"hourly": []})");
  EXPECT_TRUE(app.alerts().empty());
  EXPECT_EQ(statusItem->menuTitles().front(), "---");
  oldMenu[2].action();
  EXPECT_EQ(windows.textFieldCell("alertEventTxt")->title(), "Heat");
}

TEST_F(AppDelegateAlertsTest, AnAlertIsInForceFromItsStartToItsEnd) {
  EXPECT_FALSE(app.alertInForce());
  fetch(R"({"alerts": [{"event": "Storm", "start": 1700053200, "end": 1700056800}]})");
  EXPECT_FALSE(app.alertInForce());  // from 13:00
  runLoop.advance(3600);
  EXPECT_TRUE(app.alertInForce());
  runLoop.advance(3599);
  EXPECT_TRUE(app.alertInForce());
  runLoop.advance(1);
  EXPECT_FALSE(app.alertInForce());  // over at 14:00, though still listed until the next answer
  EXPECT_EQ(app.alerts().size(), 1u);

  fetch(R"({"alerts": [{"event": "Wind"}]})");  // no times: in force until the next answer
  EXPECT_TRUE(app.alertInForce());
}

}  // namespace
}  // namespace stratovane
