// A route that appears after an Offline start brings a fetch at once, without waiting for the
// schedule: the binary runs in a network namespace of its own, joined by a veth pair.
#include <gtest/gtest.h>
#include <httplib.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>

#include "support/ChildProcess.h"
#include "support/ConfigDir.h"

namespace stratovane {
namespace {

using testing::ChildProcess;
using testing::ConfigDir;

bool run(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// The host end of a veth pair with an address; both ends go when it is deleted.
class VethPair {
 public:
  VethPair() {
    const std::string suffix = std::to_string(getpid() % 100000);
    host = "stvh" + suffix;
    guest = "stvg" + suffix;
    made = run("ip link add " + host + " type veth peer name " + guest) &&
           run("ip addr add " + kHostAddress + "/30 dev " + host) &&
           run("ip link set " + host + " up");
  }
  ~VethPair() { run("ip link del " + host); }

  // Moves the other end into the namespace of `pid` and routes everything through the pair.
  bool connect(pid_t pid) const {
    const std::string inside = "nsenter -t " + std::to_string(pid) + " -n ";
    return run("ip link set " + guest + " netns " + std::to_string(pid)) &&
           run(inside + "ip addr add 10.213.77.2/30 dev " + guest) &&
           run(inside + "ip link set " + guest + " up") &&
           run(inside + "ip route add default via " + kHostAddress);
  }

  static inline const std::string kHostAddress = "10.213.77.1";
  std::string host;
  std::string guest;
  bool made = false;
};

TEST(BackOnline, ARouteAppearingAfterAnOfflineStartFetchesAtOnce) {
  if (getuid() != 0 || !run("unshare -n true")) GTEST_SKIP() << "needs root and namespaces";
  VethPair veth;
  if (!veth.made) GTEST_SKIP() << "veth links cannot be made here";

  std::atomic<int> requests = 0;
  httplib::Server server;
  server.Get("/onecall", [&](const httplib::Request&, httplib::Response& response) {
    ++requests;
    response.set_content(testing::lightRainAnswer, "application/json");
  });
  const int port = server.bind_to_any_port(VethPair::kHostAddress);
  ASSERT_GT(port, 0);
  std::thread serving([&] { server.listen_after_bind(); });

  ConfigDir config;
  config.write("apiKey=abc\nstatusBarOption=1\n");
  ChildProcess child({"unshare", "-n", STRATOVANE_BINARY, "--line"},
                     config.environment("http://" + VethPair::kHostAddress + ":" +
                                        std::to_string(port) + "/onecall"));
  EXPECT_EQ(child.readLine(), "\u23F1 Fetching...");
  EXPECT_EQ(child.readLine(), "\u26A0\uFE0F Offline");
  ASSERT_TRUE(veth.connect(child.pid()));
  // The fetch timer is 30 minutes away; only the route change can bring this title.
  EXPECT_EQ(child.readLine(std::chrono::seconds(10)), std::string("\U0001F327 3\u00B0 "));
  EXPECT_EQ(requests, 1);

  server.stop();
  serving.join();
}

}  // namespace
}  // namespace stratovane
