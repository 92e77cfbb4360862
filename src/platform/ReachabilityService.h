// The system's view of whether the default route can be used without setting up a connection.
#pragma once

#include <cstdint>
#include <optional>

namespace stratovane {

class ReachabilityService {
 public:
  static constexpr std::uint32_t kTransientConnection = 1;
  static constexpr std::uint32_t kReachable = 2;
  static constexpr std::uint32_t kConnectionRequired = 4;

  virtual ~ReachabilityService() = default;
  // Flags of the route to the any-address of the family (AF_INET or AF_INET6); none when no
  // reference for that address could be made or its flags could not be obtained.
  virtual std::optional<std::uint32_t> flagsForAnyAddress(int family) = 0;
};

}  // namespace stratovane
