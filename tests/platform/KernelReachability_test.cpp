// Reachability from routing tables: fixture tables, and a network namespace without routes.
#include "platform/system/KernelReachability.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/socket.h>

#include <cstring>
#include <fstream>

#include "HelperProcess.h"
#include "support/TempDir.h"

namespace stratovane {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

constexpr std::uint32_t kReachable = ReachabilityService::kReachable;

constexpr const char* kIpv4Header =
    "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT       \n";
constexpr const char* kIpv4Default =
    "eth0\t00000000\t0101A8C0\t0003\t0\t0\t100\t00000000\t0\t0\t0              \n";
constexpr const char* kIpv4Subnet =
    "eth0\t0001A8C0\t00000000\t0001\t0\t0\t100\t00FFFFFF\t0\t0\t0              \n";
// The kernel always lists these two: loopback, and a reject default route on lo.
constexpr const char* kIpv6Loopback =
    "00000000000000000000000000000001 80 00000000000000000000000000000000 00 "
    "00000000000000000000000000000000 00000000 00000002 00000000 80200001       lo\n"
    "00000000000000000000000000000000 00 00000000000000000000000000000000 00 "
    "00000000000000000000000000000000 ffffffff 00000001 00000000 00200200       lo\n";

struct Tables {
  TempDir dir;
  fs::path ipv4 = dir / "route";
  fs::path ipv6 = dir / "ipv6_route";

  Tables(const std::string& ipv4Lines, const std::string& ipv6Lines) {
    std::ofstream(ipv4) << kIpv4Header << ipv4Lines;
    std::ofstream(ipv6) << kIpv6Loopback << ipv6Lines;
  }
  std::optional<std::uint32_t> flags(int family) const {
    return KernelReachability(ipv4, ipv6).flagsForAnyAddress(family);
  }
};

std::string ipv6Default(const char* flags, const char* interface = "wlan0") {
  return std::string(
             "00000000000000000000000000000000 00 00000000000000000000000000000000 00 "
             "fe800000000000000000000000000001 00000400 00000002 00000000 ") +
         flags + " " + interface + "\n";
}

TEST(KernelReachabilityTables, OnlyAnUpDefaultRouteOffLoopbackIsUsable) {
  std::string many;  // read across buffer boundaries
  for (int i = 0; i < 2000; ++i) many += kIpv4Subnet;
  const std::string last(kIpv4Default, std::strlen(kIpv4Default) - 1);
  struct Case {
    const char* name;
    std::string ipv4;
    std::string ipv6;
    std::uint32_t expected;  // for both families: either table's default route counts
  };
  const Case cases[] = {
      {"IPv4 default route", std::string(kIpv4Subnet) + kIpv4Default, "", kReachable},
      {"IPv6-only default route", "", ipv6Default("00000003"), kReachable},
      {"no routes", "", "", 0},
      {"a subnet route only", kIpv4Subnet, "", 0},
      {"IPv4 default on lo", "lo\t00000000\t00000000\t0001\t0\t0\t0\t00000000\t0\t0\t0\n", "", 0},
      {"IPv4 reject", "eth0\t00000000\t00000000\t0201\t0\t0\t0\t00000000\t0\t0\t0\n", "", 0},
      {"IPv4 down", "eth0\t00000000\t0101A8C0\t0002\t0\t0\t0\t00000000\t0\t0\t0\n", "", 0},
      {"destination 0 with a mask", "eth0\t00000000\t0101A8C0\t0003\t0\t0\t0\t000000FF\t0\t0\t0\n",
       "", 0},
      {"malformed flags", "eth0\t00000000\t0101A8C0\tzz03\t0\t0\t0\t00000000\n", "", 0},
      {"IPv6 reject", "", ipv6Default("00000201", "eth0"), 0},
      {"IPv6 down", "", ipv6Default("00000002", "eth0"), 0},
      {"a long table", many + kIpv4Default, "", kReachable},
      {"a long table without a last line feed", many + last, "", kReachable},
      {"a long table of subnets", many, "", 0},
  };
  for (const auto& [name, ipv4, ipv6, expected] : cases) {
    const Tables tables(ipv4, ipv6);
    EXPECT_EQ(tables.flags(AF_INET), expected) << name;
    EXPECT_EQ(tables.flags(AF_INET6), expected) << name;
  }
}

TEST(KernelReachabilityTables, AnUnreadableTableGivesNoneForItsOwnFamilyOnly) {
  const Tables tables(kIpv4Default, ipv6Default("00000003"));
  const fs::path missing = tables.dir / "missing";
  EXPECT_EQ(KernelReachability(missing, tables.ipv6).flagsForAnyAddress(AF_INET), std::nullopt);
  EXPECT_EQ(KernelReachability(missing, tables.ipv6).flagsForAnyAddress(AF_INET6), kReachable);
  EXPECT_EQ(KernelReachability(tables.ipv4, missing).flagsForAnyAddress(AF_INET6), std::nullopt);
  EXPECT_EQ(KernelReachability(tables.ipv4, missing).flagsForAnyAddress(AF_INET), kReachable);
  // A directory opens, but cannot be read.
  EXPECT_EQ(KernelReachability(tables.dir.path(), tables.ipv6).flagsForAnyAddress(AF_INET),
            std::nullopt);
  EXPECT_EQ(KernelReachability(tables.ipv4, tables.ipv6).flagsForAnyAddress(AF_UNIX), std::nullopt);
}

TEST(KernelReachabilityNamespace, ANetworkNamespaceWithoutRoutesHasNoUsableDefaultRoute) {
  // 0: no default route, 1: reachable, 2: an unreadable table, 3: no namespace of our own.
  const auto answer = testing::runInChild([] {
    if (::unshare(CLONE_NEWNET) != 0) return 3;
    KernelReachability routes;
    const auto ipv4 = routes.flagsForAnyAddress(AF_INET);
    const auto ipv6 = routes.flagsForAnyAddress(AF_INET6);
    return !ipv4 || !ipv6 ? 2 : (*ipv4 | *ipv6) != 0 ? 1 : 0;
  });
  if (answer == 3) GTEST_SKIP() << "a network namespace of our own is not permitted here";
  EXPECT_EQ(answer, 0);
}

}  // namespace
}  // namespace stratovane
