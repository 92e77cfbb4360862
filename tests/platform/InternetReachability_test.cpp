// Which reachability flags count as connected, and the fallback to the IPv6 any-address.
#include "platform/InternetReachability.h"

#include <gtest/gtest.h>
#include <sys/socket.h>

#include <map>

namespace stratovane {
namespace {

class ScriptedRoutes : public ReachabilityService {
 public:
  std::optional<std::uint32_t> flagsForAnyAddress(int family) override {
    asked.push_back(family);
    return flags[family];
  }
  std::map<int, std::optional<std::uint32_t>> flags;
  std::vector<int> asked;
};

TEST(InternetReachability, FlagLogic) {
  ScriptedRoutes routes;
  InternetReachability reachability(&routes);
  const std::pair<std::optional<std::uint32_t>, bool> cases[] = {
      {2, true},  {2 | 1, true}, {2 | 8 | 0x10000, true},    {2 | 4, false},       {4, false},
      {0, false}, {1, false},    {~std::uint32_t{0}, false}, {std::nullopt, false}};
  for (const auto& [flags, connected] : cases) {
    routes.flags = {{AF_INET, flags}, {AF_INET6, std::nullopt}};
    EXPECT_EQ(reachability.isConnectedToNetwork(), connected) << (flags ? *flags : 999);
  }
}

TEST(InternetReachability, AsksIPv6OnlyWhenIPv4GivesNothingAndNothingWithoutAService) {
  ScriptedRoutes routes;
  InternetReachability reachability(&routes);
  routes.flags = {{AF_INET, 0}, {AF_INET6, 2}};
  EXPECT_FALSE(reachability.isConnectedToNetwork());
  EXPECT_EQ(routes.asked, std::vector<int>{AF_INET});

  routes.asked.clear();
  routes.flags = {{AF_INET, std::nullopt}, {AF_INET6, 2}};
  EXPECT_TRUE(reachability.isConnectedToNetwork());
  EXPECT_EQ(routes.asked, (std::vector<int>{AF_INET, AF_INET6}));
  EXPECT_FALSE(InternetReachability().isConnectedToNetwork());
}

}  // namespace
}  // namespace stratovane
