// Timers on the default GLib main context, which the application's main loop runs.
#pragma once

#include <memory>
#include <vector>

#include "platform/RunLoop.h"
#include "platform/system/GLibTimer.h"

namespace stratovane {

// Main thread only. Destroying the run loop invalidates the timers it scheduled; timer
// objects may outlive it and then stay invalid.
class GLibRunLoop final : public RunLoop {
 public:
  GLibRunLoop() = default;
  ~GLibRunLoop() override;
  GLibRunLoop(const GLibRunLoop&) = delete;
  GLibRunLoop& operator=(const GLibRunLoop&) = delete;

  std::shared_ptr<Timer> scheduledTimer(double seconds, std::function<void()> action) override;

 private:
  std::vector<std::weak_ptr<GLibTimer>> timers_;
};

}  // namespace stratovane
