// The settings from the panel item's menu and from `stratovane --settings`, for text-bar users.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "AppRun.h"
#include "FakePanelHost.h"
#include "XClient.h"

namespace stratovane {
namespace {

using testing::FakePanelHost;

constexpr const char* kTitle = "Stratovane Settings";

long residentKiB(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

class SettingsFrontEndsTest : public testing::AppRunTest {
 protected:
  std::string settingsFile() const {
    std::ifstream file(config.path / "stratovane" / "settings.ini");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }
  // Shows the view from the panel item's menu and closes it with Escape.
  static void showAndEscape(const FakePanelHost& host) {
    ASSERT_TRUE(host.click("Settings"));
    ASSERT_TRUE(waitUntil([] { return testing::mappedWindowsTitled(kTitle) == 1; }));
    ASSERT_TRUE(testing::typeKeyInto(kTitle, "Escape"));
    ASSERT_TRUE(waitUntil([] { return testing::mappedWindowsTitled(kTitle) == 0; }));
  }
};

TEST_F(SettingsFrontEndsTest, OneViewAtATimeEscapeStoresAndTenShowingsKeepMemoryFlat) {
  FakePanelHost host(bus.connection());
  // Freed memory goes back at once, sanitized or not.
  const auto app = start({}, {{"ASAN_OPTIONS", "quarantine_size_mb=0"}});
  ASSERT_TRUE(
      waitUntil([&] { return host.hasItem() && !host.menu().empty(); }, std::chrono::seconds(20)))
      << app->readErrors();

  // The first showing: a second "Settings" brings the same view forward.
  ASSERT_TRUE(host.click("Settings"));
  ASSERT_TRUE(waitUntil([] { return testing::mappedWindowsTitled(kTitle) == 1; }));
  ASSERT_TRUE(host.click("Settings"));
  spin(std::chrono::milliseconds(500));
  EXPECT_EQ(testing::mappedWindowsTitled(kTitle), 1);
  ASSERT_TRUE(testing::typeKeyInto(kTitle, "Escape"));
  ASSERT_TRUE(waitUntil([] { return testing::mappedWindowsTitled(kTitle) == 0; }));
  ASSERT_TRUE(waitUntil([&] { return settingsFile().find("mapType=0") != std::string::npos; }));

  spin(std::chrono::seconds(1));
  const long before = residentKiB(app->pid());
  for (int i = 0; i < 10 && !HasFatalFailure(); ++i) showAndEscape(host);
  spin(std::chrono::seconds(1));
  const long after = residentKiB(app->pid());
  // A leaked window with its map would cost megabytes each time.
  EXPECT_LT(after - before, 8 * 1024)
      << before << " KiB after one showing, " << after << " after ten more";
  app->signal(SIGTERM);
  EXPECT_EQ(app->wait(), 0);
}

// `stratovane --settings`, for text-bar users.
TEST_F(SettingsFrontEndsTest, EscapeStoresAllNineKeysAndEndsWithStatusZero) {
  config.write("interval=10\nweatherEndpoint=https://proxy.test/onecall\n");
  const auto app = start({"--settings"});
  ASSERT_TRUE(
      waitUntil([] { return testing::typeKeyInto(kTitle, "Escape"); }, std::chrono::seconds(30)))
      << app->readErrors();
  EXPECT_EQ(app->wait(), 0) << app->readErrors();

  const std::string stored = settingsFile();
  for (const char* line :
       {"latitude=59.4040015148249", "longitude=17.994089135126462",
        "apiKey=", "statusBarOption=-1", "units=0", "interval=10", "language=2", "decimals=0",
        "mapType=0", "weatherEndpoint=https://proxy.test/onecall"}) {
    EXPECT_NE(stored.find(std::string(line) + "\n"), std::string::npos) << line << "\n" << stored;
  }
}

TEST_F(SettingsFrontEndsTest, WithoutADisplayItSaysSoAndEndsWithStatusTwo) {
  const auto app = start({"--settings"}, {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}});
  EXPECT_EQ(app->wait(), 2);
  EXPECT_NE(app->readErrors().find("graphical session"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(config.path / "stratovane" / "settings.ini"));
}

}  // namespace
}  // namespace stratovane
