// Whether the default route is usable without first setting up a connection.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/ReachabilityService.h"

namespace stratovane {

class InternetReachability {
 public:
  // The one instance of the run. The composition root hands it the system's service first;
  // without one every query answers "not connected".
  static InternetReachability& shared();

  InternetReachability() = default;
  explicit InternetReachability(ReachabilityService* service) : service_(service) {}

  void setService(ReachabilityService* service) { service_ = service; }

  std::optional<std::uint32_t> reachabilityFlags() const;
  bool isConnectedToNetwork() const;

 private:
  ReachabilityService* service_ = nullptr;
};

}  // namespace stratovane
