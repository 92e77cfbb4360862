// The alert notices' rules on a fake notifier: once per alert, across restarts, the switch, no
// server, alerts to come.
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
  void answerAll(bool sent) {
    auto pending = std::move(answers);
    for (auto& answer : pending) answer(sent);
  }
  std::vector<std::string> notices;
  std::vector<std::function<void(bool)>> answers;
  std::vector<std::function<void()>> choices;
};

// Times: 1000 is now; days of 1000 seconds.
const WeatherAlert kHeat{"Heat", "DWD", 900, 1500, ""};
const WeatherAlert kStorm{"Storm", "SMHI", 1200, 2500, ""};  // begins later, ends another day
const WeatherAlert kFog{"Fog", "", std::nullopt, std::nullopt, ""};

class AlertNoticesTest : public ::testing::Test {
 protected:
  std::unique_ptr<AlertNotices> start() {
    return std::make_unique<AlertNotices>(AlertNoticesEnvironment{
        .notifier = &notifier,
        .files = &files,
        .runLoop = runLoop,
        .times = times,
        .now = [this] { return 1000 + runLoop.now(); },
        .enabled = [this] { return enabled; },
        .open = [this](const WeatherAlert& alert) { opened.push_back(alert.event); },
    });
  }

  FakeNotifier notifier;
  testing::FakeCacheFiles files;
  testing::FakeRunLoop runLoop;
  const testing::SecondsTimeFormatting times;
  bool enabled = true;
  std::vector<std::string> opened;
};

TEST_F(AlertNoticesTest, EachAlertOnceWhenItComesInForceNotAgainAfterARestart) {
  auto notices = start();
  notices->update({kHeat, kStorm, kFog});
  notices->update({kHeat, kStorm, kFog});  // while the server has not answered yet
  EXPECT_EQ(notifier.notices,
            (std::vector<std::string>{"Heat | DWD until t1500 | critical", "Fog |  | critical"}));
  notifier.answerAll(true);
  notices->update({kHeat, kStorm, kFog});
  EXPECT_EQ(notifier.notices.size(), 2u);

  // The storm's notice comes when it begins, without a new answer.
  runLoop.advance(199);
  EXPECT_EQ(notifier.notices.size(), 2u);
  runLoop.advance(1);
  ASSERT_EQ(notifier.notices.size(), 3u);
  EXPECT_EQ(notifier.notices[2], "Storm | SMHI until w2500 | critical");
  notifier.answerAll(true);
  notifier.choices[2]();
  EXPECT_EQ(opened, std::vector<std::string>{"Storm"});

  // A new run remembers them all; an alert with the same texts that begins later is another one.
  notices = start();
  WeatherAlert nextStorm = kStorm;
  nextStorm.start = 1210;
  notices->update({kHeat, kStorm, kFog});
  EXPECT_EQ(notifier.notices.size(), 3u);
  runLoop.advance(10);
  notices->update({kHeat, kStorm, kFog, nextStorm});
  EXPECT_EQ(notifier.notices.size(), 4u);
}

TEST_F(AlertNoticesTest, NothingWhileSwitchedOffAndNoServerMeansTryAgainLater) {
  auto notices = start();
  enabled = false;
  notices->update({kHeat});
  EXPECT_TRUE(notifier.notices.empty());
  enabled = true;
  notices->update({kHeat});
  notifier.answerAll(false);  // no notification server
  notices->update({kHeat});
  EXPECT_EQ(notifier.notices.size(), 2u);
  EXPECT_TRUE(files.files.empty()) << "only what was shown is remembered";

  // A damaged memory only risks a notice too many; an ended alert is never notified.
  files.files[AlertNotices::kFileName] = "{\"alerts\": [";
  notices = start();
  notices->update({{"Frost", "DWD", 100, 1000, ""}});
  EXPECT_EQ(notifier.notices.size(), 2u);
}

}  // namespace
}  // namespace stratovane
