// Reachability of the default route, asked anew each time.
#include "platform/InternetReachability.h"

#include <sys/socket.h>

namespace stratovane {

InternetReachability& InternetReachability::shared() {
  static InternetReachability instance;
  return instance;
}

std::optional<std::uint32_t> InternetReachability::reachabilityFlags() const {
  if (service_ == nullptr) return std::nullopt;
  if (auto flags = service_->flagsForAnyAddress(AF_INET)) return flags;
  return service_->flagsForAnyAddress(AF_INET6);
}

bool InternetReachability::isConnectedToNetwork() const {
  const auto flags = reachabilityFlags();
  constexpr std::uint32_t mask =
      ReachabilityService::kReachable | ReachabilityService::kConnectionRequired;
  return flags && (*flags & mask) == ReachabilityService::kReachable;
}

}  // namespace stratovane
