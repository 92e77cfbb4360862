// A fake logind on the test's own "system bus": the end of a sleep brings the panel item a fetch
// at once.
#include <gtest/gtest.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "GuiTest.h"
#include "PrivateBus.h"
#include "support/ChildProcess.h"
#include "support/ConfigDir.h"
#include "support/HttpTestServer.h"

namespace stratovane {
namespace {

using testing::ChildProcess;
using testing::ConfigDir;
using testing::HttpTestServer;
using testing::PrivateBus;

void prepareForSleep(const PrivateBus& bus, bool sleeping) {
  bus.connection()->emit_signal(
      "/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep", "",
      Glib::VariantContainerBase::create_tuple(Glib::Variant<bool>::create(sleeping)));
  bus.connection()->flush_sync();
}

class WakeFromSleepTest : public testing::GuiTest {};

TEST_F(WakeFromSleepTest, FetchesOnceTheSystemHasWoken) {
  if (!testing::hostHasDefaultRoute()) GTEST_SKIP() << "this machine has no default route";
  std::atomic<int> requests = 0;
  HttpTestServer server([&](httplib::Server& routes) {
    routes.Get("/onecall", [&](const httplib::Request&, httplib::Response& response) {
      ++requests;
      response.set_content(testing::lightRainAnswer, "application/json");
    });
  });
  PrivateBus bus;
  bus.connection()->call_sync("/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
                              Glib::VariantContainerBase::create_tuple(
                                  {Glib::Variant<Glib::ustring>::create("org.freedesktop.login1"),
                                   Glib::Variant<guint32>::create(0)}),
                              "org.freedesktop.DBus");

  PrivateBus session;
  ConfigDir config;
  config.write("apiKey=abc\n");
  ChildProcess child({STRATOVANE_BINARY}, {{"XDG_CONFIG_HOME", config.path.string()},
                                           {"STRATOVANE_WEATHER_URL", server.url("/onecall")},
                                           {"DBUS_SESSION_BUS_ADDRESS", session.address()},
                                           {"DBUS_SYSTEM_BUS_ADDRESS", bus.address()},
                                           {"NO_AT_BRIDGE", "1"},
                                           {"GTK_A11Y", "none"}});
  const auto started = std::chrono::steady_clock::now();
  while (requests == 0 && std::chrono::steady_clock::now() - started < std::chrono::seconds(20))
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_EQ(requests, 1);

  prepareForSleep(bus, true);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(requests, 1) << "going to sleep is no reason to fetch";
  // The program subscribes once its bus connection is up; until then a signal may pass unseen.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (requests == 1 && std::chrono::steady_clock::now() < deadline) {
    prepareForSleep(bus, false);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }
  EXPECT_GE(requests, 2);
  child.signal(SIGTERM);
  EXPECT_EQ(child.wait(), 0);
}

}  // namespace
}  // namespace stratovane
