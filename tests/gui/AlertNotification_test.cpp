// The panel item's alert notices on a fake notification server: once per alert, across restarts,
// the switch, no server.
#include <httplib.h>
#include <signal.h>

#include <atomic>
#include <chrono>

#include "FakeNotificationServer.h"
#include "GuiTest.h"
#include "PrivateBus.h"
#include "support/ChildProcess.h"
#include "support/ConfigDir.h"
#include "support/HttpTestServer.h"

namespace stratovane {
namespace {

using testing::FakeNotificationServer;
using testing::PrivateBus;

// The panel item against a weather server whose answer has an alert in force since an hour ago.
class PanelAlertTest : public testing::GuiTest {
 protected:
  PanelAlertTest() {
    const double now =
        std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
    answer = R"({"current": {"temp": 30}, "alerts": [{"event": "Heat", "sender_name": "DWD",)"
             R"( "start": )" +
             std::to_string(now - 3600) + R"(, "end": )" + std::to_string(now + 7200) + "}]}";
  }
  void SetUp() override {
    GuiTest::SetUp();
    if (!testing::hostHasDefaultRoute()) GTEST_SKIP() << "this machine has no default route";
  }
  // The panel item until it has shown `fetches` answers in all.
  std::unique_ptr<testing::ChildProcess> start(int fetches) {
    auto app = std::make_unique<testing::ChildProcess>(
        std::vector<std::string>{STRATOVANE_BINARY},
        std::map<std::string, std::string>{{"DBUS_SESSION_BUS_ADDRESS", bus.address()},
                                           {"XDG_CONFIG_HOME", config.path.string()},
                                           {"XDG_CACHE_HOME", config.path.string()},
                                           {"STRATOVANE_WEATHER_URL", weather.url("/onecall")},
                                           {"NO_AT_BRIDGE", "1"},
                                           {"LC_ALL", "C"},
                                           {"TZ", "UTC"}});
    EXPECT_TRUE(waitUntil([&] { return requests >= fetches; }, std::chrono::seconds(20)))
        << app->readErrors();
    spin(std::chrono::milliseconds(500));  // its notices, if any, have come
    return app;
  }
  static void stop(testing::ChildProcess& app) {
    app.signal(SIGTERM);
    EXPECT_EQ(app.wait(), 0);
  }

  PrivateBus bus;
  std::string answer;
  std::atomic<int> requests = 0;
  const testing::HttpTestServer weather{[this](httplib::Server& routes) {
    routes.Get("/onecall", [this](const httplib::Request&, httplib::Response& response) {
      response.set_content(answer, "application/json");
      ++requests;
    });
  }};
  testing::ConfigDir config;
  testing::FakePanelHost host{bus.connection()};  // no hint about a missing panel
};

TEST_F(PanelAlertTest, OneNoticePerAlertWhoseClickOpensItsWindowAndNoneAgainAfterARestart) {
  config.write("apiKey=k\nstatusBarOption=0\n");
  auto app = start(1);
  FakeNotificationServer server(bus.connection());
  // No server at first: nothing else changes, and the next answer brings the notice.
  EXPECT_TRUE(waitUntil([&] { return host.menu().size() > 1; }));
  EXPECT_TRUE(host.menu().front().starts_with("\u26A0\uFE0F Heat until ")) << host.menu().front();
  app->signal(SIGUSR1);
  ASSERT_TRUE(waitUntil([&] { return server.notices().size() == 1; })) << app->readErrors();
  EXPECT_TRUE(server.received().at(0).starts_with("Heat\nDWD until ")) << server.received()[0];
  EXPECT_EQ(server.notices()[0].urgency, 2);
  app->signal(SIGUSR1);
  ASSERT_TRUE(waitUntil([&] { return requests == 3; }));
  spin(std::chrono::milliseconds(500));
  EXPECT_EQ(server.notices().size(), 1u);

  server.click(server.notices()[0].id);
  EXPECT_TRUE(waitUntil([] { return testing::mappedWindowsTitled("Weather alert") == 1; }));
  stop(*app);

  app = start(4);
  EXPECT_EQ(server.notices().size(), 1u) << "notified before the restart";
  stop(*app);
}

TEST_F(PanelAlertTest, TheSwitchOffSendsNone) {
  config.write("apiKey=k\nstatusBarOption=0\nnotifyAlerts=0\n");
  FakeNotificationServer server(bus.connection());
  auto app = start(1);
  EXPECT_TRUE(server.notices().empty());
  stop(*app);
}

}  // namespace
}  // namespace stratovane
