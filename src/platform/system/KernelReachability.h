// Reachability from the kernel's routing tables: is there a usable default route?
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

#include "platform/ReachabilityService.h"

namespace stratovane {

// A usable default route has destination 0 with prefix 0, is up, is not a reject route and
// does not go through the loopback interface. The any-address of either family stands for
// the default route of any family: the flags are kReachable when either table has one, and 0
// otherwise. They are none when the asked family's own table cannot be read. Reading the
// tables is cheap and synchronous and sends nothing on the network.
class KernelReachability final : public ReachabilityService {
 public:
  explicit KernelReachability(std::filesystem::path ipv4Routes = "/proc/net/route",
                              std::filesystem::path ipv6Routes = "/proc/net/ipv6_route");

  std::optional<std::uint32_t> flagsForAnyAddress(int family) override;

 private:
  std::filesystem::path ipv4Routes_;
  std::filesystem::path ipv6Routes_;
};

}  // namespace stratovane
