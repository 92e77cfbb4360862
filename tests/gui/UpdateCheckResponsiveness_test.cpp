// The panel item's menu keeps answering while the update server never does.
#include <httplib.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "FakePanelHost.h"
#include "GuiTest.h"
#include "PrivateBus.h"
#include "support/ChildProcess.h"
#include "support/ConfigDir.h"
#include "support/HttpTestServer.h"

namespace stratovane {
namespace {

using testing::ChildProcess;
using testing::ConfigDir;
using testing::FakePanelHost;
using testing::HttpTestServer;
using testing::PrivateBus;
using Clock = std::chrono::steady_clock;

class UpdateCheckResponsivenessTest : public testing::GuiTest {
 protected:
  PrivateBus bus;
  ConfigDir config;
};

TEST_F(UpdateCheckResponsivenessTest, UpdateForecastRunsWhileTheUpdateServerIsSilent) {
  if (!testing::hostHasDefaultRoute()) GTEST_SKIP() << "this machine has no default route";
  HttpTestServer updateServer(HttpTestServer::Misbehaviour::silent);
  std::atomic<int> weatherRequests = 0;
  HttpTestServer weatherServer([&](httplib::Server& routes) {
    routes.Get("/onecall", [&](const httplib::Request&, httplib::Response& response) {
      ++weatherRequests;
      response.set_content(testing::lightRainAnswer, "application/json");
    });
  });
  config.write("apiKey=k1\nstatusBarOption=4\n");
  FakePanelHost host(bus.connection());
  ChildProcess app({STRATOVANE_BINARY}, {{"DBUS_SESSION_BUS_ADDRESS", bus.address()},
                                         {"XDG_CONFIG_HOME", config.path.string()},
                                         {"STRATOVANE_WEATHER_URL", weatherServer.url("/onecall")},
                                         {"STRATOVANE_UPDATE_URL", updateServer.url("")},
                                         {"NO_AT_BRIDGE", "1"},
                                         {"GTK_A11Y", "none"},
                                         {"LC_ALL", "C"},
                                         {"TZ", "UTC"}});
  ASSERT_TRUE(waitUntil([&] { return host.hasItem(); }, std::chrono::seconds(20)));
  ASSERT_TRUE(waitUntil([&] { return weatherRequests == 1; })) << app.readErrors();

  ASSERT_TRUE(waitUntil([&] { return host.click("Check for update..."); }));
  ASSERT_TRUE(waitUntil([&] { return updateServer.requests() == 1; }));

  // The menu is read and clicked over D-Bus, so a blocked main loop shows as a late answer.
  const Clock::time_point start = Clock::now();
  ASSERT_TRUE(host.click("Update forecast"));
  ASSERT_TRUE(waitUntil([&] { return weatherRequests == 2; }, std::chrono::seconds(5)))
      << "the panel item froze while the update server was silent";
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
  EXPECT_LT(took, std::chrono::seconds(1));
  std::printf("\"Update forecast\" answered in %lld ms with the update check outstanding\n",
              static_cast<long long>(took.count()));

  app.signal(SIGTERM);
  EXPECT_EQ(app.wait(), 0);
}

}  // namespace
}  // namespace stratovane
