// `stratovane --settings`: the settings view as a window of its own, for text-bar users.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "GuiTest.h"
#include "KeyboardFocus.h"
#include "support/ChildProcess.h"
#include "support/ConfigDir.h"

namespace stratovane {
namespace {

using testing::ChildProcess;
using testing::ConfigDir;

class SettingsWindowTest : public testing::GuiTest {
 protected:
  std::unique_ptr<ChildProcess> start(std::map<std::string, std::string> environment = {}) {
    environment.emplace("XDG_CONFIG_HOME", config.path.string());
    environment.emplace("XDG_CACHE_HOME", config.path.string());
    environment.emplace("NO_AT_BRIDGE", "1");
    environment.emplace("GTK_A11Y", "none");
    return std::make_unique<ChildProcess>(std::vector<std::string>{STRATOVANE_BINARY, "--settings"},
                                          environment);
  }

  std::string settingsFile() const {
    std::ifstream file(config.path / "stratovane" / "settings.ini");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }

  ConfigDir config;
};

TEST_F(SettingsWindowTest, EscapeStoresAllNineKeysAndEndsWithStatusZero) {
  config.write("interval=10\nweatherEndpoint=https://proxy.test/onecall\n");
  const std::unique_ptr<ChildProcess> app = start();
  ASSERT_TRUE(waitUntil([] { return testing::typeKeyInto("Stratovane Settings", "Escape"); },
                        std::chrono::seconds(30)))
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

TEST_F(SettingsWindowTest, WithoutADisplayItSaysSoAndEndsWithStatusTwo) {
  const std::unique_ptr<ChildProcess> app = start({{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}});
  EXPECT_EQ(app->wait(), 2);
  EXPECT_NE(app->readErrors().find("graphical session"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(config.path / "stratovane" / "settings.ini"));
}

}  // namespace
}  // namespace stratovane
