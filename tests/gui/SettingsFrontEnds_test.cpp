// The settings from the panel item's menu and from `stratovane --settings`, for text-bar users.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "FakePanelHost.h"
#include "GuiTest.h"
#include "PrivateBus.h"
#include "XClient.h"
#include "support/ChildProcess.h"
#include "support/ConfigDir.h"

namespace stratovane {
namespace {

using testing::ChildProcess;
using testing::ConfigDir;
using testing::FakePanelHost;
using testing::PrivateBus;

constexpr const char* kTitle = "Stratovane Settings";

long residentKiB(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

class SettingsFrontEndsTest : public testing::GuiTest {
 protected:
  // A run on the test's display and private bus, with its own configuration and map cache.
  std::map<std::string, std::string> environment() const {
    return {{"DBUS_SESSION_BUS_ADDRESS", bus.address()},
            {"XDG_CONFIG_HOME", config.path.string()},
            {"XDG_CACHE_HOME", config.path.string()},
            {"NO_AT_BRIDGE", "1"},
            {"GTK_A11Y", "none"}};
  }
  std::string settingsFile() const {
    std::ifstream file(config.path / "stratovane" / "settings.ini");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }

  PrivateBus bus;
  ConfigDir config;
};

TEST_F(SettingsFrontEndsTest, OneViewAtATimeEscapeStoresAndTenShowingsKeepMemoryFlat) {
  FakePanelHost host(bus.connection());
  auto withoutQuarantine = environment();  // freed memory goes back at once, sanitized or not
  withoutQuarantine.emplace("ASAN_OPTIONS", "quarantine_size_mb=0");
  ChildProcess app({STRATOVANE_BINARY}, withoutQuarantine);
  ASSERT_TRUE(
      waitUntil([&] { return host.hasItem() && !host.menu().empty(); }, std::chrono::seconds(20)))
      << app.readErrors();

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
  const long before = residentKiB(app.pid());
  for (int i = 0; i < 10; ++i) {
    ASSERT_TRUE(host.click("Settings"));
    ASSERT_TRUE(waitUntil([] { return testing::mappedWindowsTitled(kTitle) == 1; }));
    ASSERT_TRUE(testing::typeKeyInto(kTitle, "Escape"));
    ASSERT_TRUE(waitUntil([] { return testing::mappedWindowsTitled(kTitle) == 0; }));
  }
  spin(std::chrono::seconds(1));
  const long after = residentKiB(app.pid());
  // A leaked window with its map would cost megabytes each time.
  EXPECT_LT(after - before, 8 * 1024)
      << before << " KiB after one showing, " << after << " after ten more";
  app.signal(SIGTERM);
  EXPECT_EQ(app.wait(), 0);
}

TEST_F(SettingsFrontEndsTest, ASecondPanelItemEndsWithStatusZeroAndTheFirstShowsItsSettings) {
  FakePanelHost host(bus.connection());
  ChildProcess first({STRATOVANE_BINARY}, environment());
  ASSERT_TRUE(waitUntil([&] { return host.hasItem(); }, std::chrono::seconds(20)))
      << first.readErrors();
  ASSERT_EQ(testing::mappedWindowsTitled(kTitle), 0);

  ChildProcess second({STRATOVANE_BINARY}, environment());
  EXPECT_EQ(second.wait(), 0) << second.readErrors();
  EXPECT_TRUE(waitUntil([] { return testing::mappedWindowsTitled(kTitle) == 1; }))
      << first.readErrors();
  // Bars never take part: this one runs on beside the panel item.
  ChildProcess bar({STRATOVANE_BINARY, "--line"}, environment());
  EXPECT_TRUE(bar.readLine()) << bar.readErrors();
  // The view's style is installed once the toolkit is up, without a critical warning.
  const std::string errors = first.readErrors();
  EXPECT_EQ(errors.find("CRITICAL"), std::string::npos) << errors;
  first.signal(SIGTERM);
  EXPECT_EQ(first.wait(), 0);
}

// `stratovane --settings`, for text-bar users.
TEST_F(SettingsFrontEndsTest, EscapeStoresAllNineKeysAndEndsWithStatusZero) {
  config.write("interval=10\nweatherEndpoint=https://proxy.test/onecall\n");
  ChildProcess app({STRATOVANE_BINARY, "--settings"}, environment());
  ASSERT_TRUE(
      waitUntil([] { return testing::typeKeyInto(kTitle, "Escape"); }, std::chrono::seconds(30)))
      << app.readErrors();
  EXPECT_EQ(app.wait(), 0) << app.readErrors();

  const std::string stored = settingsFile();
  for (const char* line :
       {"latitude=59.4040015148249", "longitude=17.994089135126462",
        "apiKey=", "statusBarOption=-1", "units=0", "interval=10", "language=2", "decimals=0",
        "mapType=0", "weatherEndpoint=https://proxy.test/onecall"}) {
    EXPECT_NE(stored.find(std::string(line) + "\n"), std::string::npos) << line << "\n" << stored;
  }
}

TEST_F(SettingsFrontEndsTest, WithoutADisplayItSaysSoAndEndsWithStatusTwo) {
  auto headless = environment();
  headless.insert({{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}});
  ChildProcess app({STRATOVANE_BINARY, "--settings"}, headless);
  EXPECT_EQ(app.wait(), 2);
  EXPECT_NE(app.readErrors().find("graphical session"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(config.path / "stratovane" / "settings.ini"));
}

}  // namespace
}  // namespace stratovane
