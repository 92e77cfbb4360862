// "Settings" in the panel menu: the rotation stops, one fresh view at a time, closing refetches.
#include <gtest/gtest.h>

#include "app/AppDelegate.h"
#include "platform/system/FileUserDefaults.h"
#include "support/FakePlatform.h"
#include "support/FakeWidgets.h"

namespace stratovane {
namespace {

using namespace testing;

class NoNumbers : public NumberFormatting {
 public:
  std::string fixed(double, int) const override { return {}; }
};

class NoTimes : public TimeFormatting {
 public:
  std::string shortTime(double) const override { return {}; }
  std::string weekdayShortTime(double) const override { return {}; }
  bool sameDay(double, double) const override { return true; }
};

class NoBrowser : public Workspace {
 public:
  bool openURL(const std::string&) override { return true; }
};

class ShowSettingsTest : public ::testing::Test {
 protected:
  ShowSettingsTest() {
    defaults.setString("key", SettingsKey::apiKey);
    defaults.setInteger(-1, SettingsKey::statusBarOption);
    windows.setPopUpItems("statusBarOption", {{"Rotating", -1}, {"Description", 0}}, 0);
    app.applicationDidFinishLaunching();
  }

  bool rotating() const { return app.updateDisplayTimer() && app.updateDisplayTimer()->isValid(); }

  FakeRunLoop runLoop;
  FakeQueue mainQueue;
  FakeQueue backgroundQueue;
  FileUserDefaults defaults{""};
  NotificationCenter notifications;
  FakeHttpLoader loader;
  FakeReachability routes;
  InternetReachability reachability{&routes};
  FakeInterfaceLoader windows;
  NoNumbers numbers;
  NoTimes times;
  NoBrowser browser;
  FakeViewPresenter presenter;
  std::shared_ptr<FakeStatusItem> statusItem = std::make_shared<FakeStatusItem>();
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
      .weatherEndpoint = "https://weather.test/onecall",
      .workspace = browser,
      .viewPresenter = &presenter,
  }};
};

TEST_F(ShowSettingsTest, OpeningStopsTheRotationAndClosingRestartsItAndFetches) {
  ASSERT_TRUE(rotating());
  const std::size_t fetches = backgroundQueue.size();
  statusItem->choose("Settings");
  EXPECT_FALSE(rotating());
  EXPECT_EQ(presenter.presentCount, 1);
  EXPECT_EQ(presenter.style, PresentationStyle::transient);
  EXPECT_EQ(backgroundQueue.size(), fetches);

  ASSERT_TRUE(presenter.close());
  EXPECT_TRUE(rotating());
  EXPECT_EQ(backgroundQueue.size(), fetches + 1);
  EXPECT_EQ(defaults.integerForKey(SettingsKey::statusBarOption), -1);
}

TEST_F(ShowSettingsTest, ASecondSettingsBringsTheOpenViewForwardAndAClosedOneIsBuiltAnew) {
  statusItem->choose("Settings");
  const std::shared_ptr<View> first = presenter.view;
  statusItem->choose("Settings");
  EXPECT_EQ(presenter.presentCount, 1);
  EXPECT_EQ(windows.loadCount("Main"), 1);
  ASSERT_EQ(presenter.broughtToFront.size(), 1U);
  EXPECT_EQ(presenter.broughtToFront[0], first.get());

  presenter.close();
  statusItem->choose("Settings");
  EXPECT_EQ(presenter.presentCount, 2);
  EXPECT_EQ(windows.loadCount("Main"), 2);
  EXPECT_NE(presenter.view, first);
  EXPECT_EQ(presenter.broughtToFront.size(), 1U);
}

TEST_F(ShowSettingsTest, AMissingInterfaceFileLeavesTheSettingsUnopened) {
  windows.setMissingInterface("Main");
  statusItem->choose("Settings");
  EXPECT_EQ(presenter.presentCount, 0);
  // Nothing is held open: the next try loads again.
  statusItem->choose("Settings");
  EXPECT_EQ(windows.loadCount("Main"), 2);
}

}  // namespace
}  // namespace stratovane
