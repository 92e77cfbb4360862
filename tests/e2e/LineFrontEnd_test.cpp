// The built binary in its text-bar modes, against a server on 127.0.0.1 or behind a veth pair.
#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "support/ChildProcess.h"
#include "support/ConfigDir.h"
#include "support/HttpTestServer.h"

namespace stratovane {
namespace {

using testing::ChildProcess;
using testing::ConfigDir;
using testing::hostHasDefaultRoute;
namespace fs = std::filesystem;

const std::string kFetching = "\u23F1 Fetching...";

void expectCleanExit(ChildProcess& child) {
  child.signal(SIGTERM);
  EXPECT_EQ(child.wait(), 0);
}

bool run(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// The host end of a veth pair with an address; both ends go when it is deleted.
struct VethPair {
  static inline const std::string kHostAddress = "10.213.77.1";
  const std::string host = "stvh" + std::to_string(getpid() % 100000);
  const std::string guest = "stvg" + std::to_string(getpid() % 100000);
  const bool made =
      run("ip link add " + host + " type veth peer name " + guest + " && ip addr add " +
          kHostAddress + "/30 dev " + host + " && ip link set " + host + " up");
  ~VethPair() { run("ip link del " + host); }

  // Moves the other end into the namespace of `pid` and routes everything through the pair.
  bool connect(pid_t pid) const {
    const std::string inside = " && nsenter -t " + std::to_string(pid) + " -n ip ";
    return run("ip link set " + guest + " netns " + std::to_string(pid) + inside +
               "addr add 10.213.77.2/30 dev " + guest + inside + "link set " + guest + " up" +
               inside + "route add default via " + kHostAddress);
  }
};

TEST(LineFrontEnd, OfflineInANamespaceAndBackOnlineAtOnceWhenARouteAppears) {
  if (getuid() != 0 || !run("unshare -n true")) GTEST_SKIP() << "needs root and namespaces";
  std::atomic<int> requests = 0;
  httplib::Server server;
  server.Get("/onecall", [&](const httplib::Request&, httplib::Response& response) {
    ++requests;
    response.set_content(testing::lightRainAnswer, "application/json");
  });
  VethPair veth;
  const int port = veth.made ? server.bind_to_any_port(VethPair::kHostAddress) : 0;
  std::thread serving([&] {
    if (port > 0) server.listen_after_bind();
  });

  ConfigDir config;
  config.write("apiKey=abc\nstatusBarOption=1\n");
  ChildProcess child({"unshare", "-n", STRATOVANE_BINARY, "--line"},
                     config.environment("http://" + VethPair::kHostAddress + ":" +
                                        std::to_string(port) + "/onecall"));
  EXPECT_EQ(child.readLine(), kFetching);
  EXPECT_EQ(child.readLine(), "\u26A0\uFE0F Offline");
  if (port > 0) {
    EXPECT_TRUE(veth.connect(child.pid()));
    // The fetch timer is 30 minutes away; only the route change can bring this title.
    EXPECT_EQ(child.readLine(std::chrono::seconds(10)), std::string("\U0001F327 3\u00B0 "));
    EXPECT_EQ(requests, 1);
  }
  expectCleanExit(child);
  server.stop();
  serving.join();
  if (port == 0) GTEST_SKIP() << "no veth link here: only the offline start was seen";
}

TEST(LineFrontEnd, FetchesAgainOnSIGUSR1AndWithSettingsThatAnotherProgramSaved) {
  if (!hostHasDefaultRoute()) GTEST_SKIP() << "this machine has no default route";
  std::vector<std::string> queries;
  std::mutex queryMutex;
  testing::HttpTestServer server([&](httplib::Server& routes) {
    routes.Get("/onecall", [&](const httplib::Request& request, httplib::Response& response) {
      std::lock_guard lock(queryMutex);
      queries.push_back(request.target);
      response.set_content(testing::lightRainAnswer, "application/json");
    });
  });
  ConfigDir config;
  config.write("apiKey=k1\nstatusBarOption=4\ndecimals=1\nlanguage=17\nunits=1\n");
  const fs::path path = config.path / "stratovane" / "settings.ini";
  ChildProcess child({STRATOVANE_BINARY, "--line"}, config.environment(server.url("/onecall")));
  EXPECT_EQ(child.readLine(), kFetching);
  EXPECT_EQ(child.readLine(), "\U0001F327 3.0\u00B0 light rain");
  child.signal(SIGUSR1);
  EXPECT_EQ(child.readLine(), "\U0001F327 3.0\u00B0 light rain");

  // In place with a pause, as an editor may write: read only once the writer has closed it.
  {
    std::ofstream file(path);
    file << "[Settings]\napiKey=k2\n" << std::flush;
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    file << "statusBarOption=1\n";
  }
  EXPECT_EQ(child.readLine(), "\U0001F327 3\u00B0 ");
  // Renamed into place, as another instance saves.
  std::ofstream(path.string() + ".new")
      << "[Settings]\napiKey=k3\nstatusBarOption=4\nlanguage=17\n";
  fs::rename(path.string() + ".new", path);
  EXPECT_EQ(child.readLine(), "\U0001F327 3\u00B0 light rain");

  EXPECT_EQ(child.readLine(std::chrono::milliseconds(1500)), std::nullopt);
  const std::string place = "/onecall?lat=59.4040015148249&lon=17.994089135126462";
  std::lock_guard lock(queryMutex);
  EXPECT_EQ(queries, (std::vector<std::string>{place + "&units=imperial&lang=sv&appid=k1",
                                               place + "&units=imperial&lang=sv&appid=k1",
                                               place + "&units=metric&lang=en&appid=k2",
                                               place + "&units=metric&lang=sv&appid=k3"}));
  expectCleanExit(child);
}

TEST(LineFrontEnd, WithoutADisplayTheDefaultIsTheLineFrontEnd) {
  ConfigDir config;
  ChildProcess child({STRATOVANE_BINARY}, config.environment());
  EXPECT_EQ(child.readLine(), kFetching);
  const std::string errors = child.readErrors();
  EXPECT_NE(errors.find("no graphical session"), std::string::npos) << errors;
  expectCleanExit(child);
  EXPECT_EQ(child.readErrors().find("no graphical session", errors.find('\n')), std::string::npos);
}

TEST(LineFrontEnd, HelpAndUnknownOptions) {
  ConfigDir config;
  ChildProcess help({STRATOVANE_BINARY, "--help"}, config.environment());
  EXPECT_EQ(help.readLine()->rfind("Usage: stratovane", 0), 0u);
  EXPECT_EQ(help.wait(), 0);
  ChildProcess wrong({STRATOVANE_BINARY, "--bogus"}, config.environment());
  EXPECT_EQ(wrong.wait(), 2);
}

}  // namespace
}  // namespace stratovane
