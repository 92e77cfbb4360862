// The computer's position from GeoClue2 on the system bus.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/LocationService.h"

namespace stratovane {

// Asks org.freedesktop.GeoClue2 for one position at city accuracy, as the desktop file
// "stratovane": Manager.GetClient, the client's DesktopId and RequestedAccuracyLevel, Start, the
// first LocationUpdated's Latitude and Longitude, Stop. Nothing blocks: every call is answered on
// the default main context. A refusal (GeoClue's agent, or the service turned off), an error or
// a missing bus all answer none; dropped work stops the client.
class GeoClueLocation final : public LocationService {
 public:
  static constexpr const char* kDesktopId = "stratovane";
  static constexpr unsigned kCityAccuracy = 4;  // GClueAccuracyLevel's CITY

  // Empty `busAddress`: the system bus. Otherwise a bus at that address, for tests.
  explicit GeoClueLocation(std::string busAddress = {}) : busAddress_(std::move(busAddress)) {}

  // Whether the bus has the service, running or activatable.
  std::unique_ptr<PendingWork> checkAvailable(std::function<void(bool)> answer) override;
  std::unique_ptr<PendingWork> locate(std::function<void(std::optional<Coordinate>)> done) override;

 private:
  std::string busAddress_;
};

}  // namespace stratovane
