// The computer's own position, from the desktop's location service.
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "platform/MapView.h"

namespace stratovane {

// Work under way; dropping it cancels the work, and its callback never runs after that.
class PendingWork {
 public:
  virtual ~PendingWork() = default;
};

class LocationService {
 public:
  virtual ~LocationService() = default;
  // Runs `answer` once on the main thread: whether the service is there to be asked at all.
  virtual std::unique_ptr<PendingWork> checkAvailable(std::function<void(bool)> answer) = 0;
  // Asks once for the position at the accuracy of a city. `done` runs once on the main thread,
  // with the position, or none when the service refused, failed or is not there; it may drop
  // the returned work. Without an answer `done` does not run: the caller bounds the wait.
  virtual std::unique_ptr<PendingWork> locate(
      std::function<void(std::optional<Coordinate>)> done) = 0;
};

}  // namespace stratovane
