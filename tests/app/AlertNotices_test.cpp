// The alert notices' rules on a fake notifier: once per alert, no server, alerts to come, the
// texts.
#include "app/AlertNotices.h"

#include <gtest/gtest.h>

#include "presentation/PresentationTestSupport.h"
#include "support/FakeCacheFiles.h"
#include "support/FakePlatform.h"

namespace stratovane {
namespace {

// Records each notice; its answer comes when the test gives it.
struct FakeNotifier : Notifier {
  void notify(const Notice& notice, std::function<void(bool)> sent,
              std::function<void()> chosen) override {
    notices.push_back(notice.summary + " | " + notice.body +
                      (notice.critical ? " | critical" : ""));
    answers.push_back(std::move(sent));
    choices.push_back(std::move(chosen));
  }
  std::vector<std::string> notices;
  std::vector<std::function<void(bool)>> answers;
  std::vector<std::function<void()>> choices;
};

// Times: 1000 is now; days of 1000 seconds.
const WeatherAlert kHeat{"Heat", "DWD", 900, 1500, {}};
const WeatherAlert kStorm{"Storm", "SMHI", 1200, 2500, {}};  // begins later, ends another day
const WeatherAlert kFog{"Fog", "", std::nullopt, std::nullopt, {}};

class AlertNoticesTest : public ::testing::Test {
 protected:
  std::unique_ptr<AlertNotices> start() {
    return std::make_unique<AlertNotices>(AlertNoticesEnvironment{
        .notifier = &notifier,
        .files = &files,
        .runLoop = runLoop,
        .times = times,
        .now = [this] { return 1000 + runLoop.now(); },
        .enabled = [] { return true; },
        .open = [this](const WeatherAlert& alert) { opened.push_back(alert.event); },
    });
  }

  FakeNotifier notifier;
  testing::FakeCacheFiles files;
  testing::FakeRunLoop runLoop;
  const testing::SecondsTimeFormatting times;
  std::vector<std::string> opened;
};

TEST_F(AlertNoticesTest, EachAlertOnceWhenItComesInForceAndAgainOnlyWhenNotShown) {
  auto notices = start();
  notices->update({kHeat, kStorm, kFog, {"Frost", "DWD", 100, 1000, {}}});
  notices->update({kHeat, kStorm, kFog});  // while the server has not answered yet
  EXPECT_EQ(notifier.notices,
            (std::vector<std::string>{"Heat | DWD until t1500 | critical", "Fog |  | critical"}));
  notifier.answers[0](true);
  notifier.answers[1](false);  // no server: tried again at the next answer
  notices->update({kHeat, kStorm, kFog});
  ASSERT_EQ(notifier.notices.size(), 3u);
  EXPECT_EQ(notifier.notices[2], notifier.notices[1]);

  // The storm's notice comes when it begins, without a new answer; a click opens it.
  runLoop.advance(199);
  EXPECT_EQ(notifier.notices.size(), 3u);
  runLoop.advance(1);
  ASSERT_EQ(notifier.notices.size(), 4u);
  EXPECT_EQ(notifier.notices[3], "Storm | SMHI until w2500 | critical");
  notifier.choices[3]();
  EXPECT_EQ(opened, std::vector<std::string>{"Storm"});
}

}  // namespace
}  // namespace stratovane
