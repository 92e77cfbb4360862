// Timers on the default GLib main context, which the application's main loop runs.
#include "platform/system/GLibRunLoop.h"

#include <algorithm>

namespace stratovane {

GLibRunLoop::~GLibRunLoop() {
  for (const auto& weak : timers_) {
    if (const auto timer = weak.lock()) timer->invalidate();
  }
}

std::shared_ptr<Timer> GLibRunLoop::scheduledTimer(double seconds, std::function<void()> action) {
  // Invalidated timers are released by their sources; forget them here too.
  std::erase_if(timers_, [](const auto& weak) { return weak.expired(); });
  auto timer = std::make_shared<GLibTimer>(seconds, std::move(action));
  timer->start();
  timers_.push_back(timer);
  return timer;
}

}  // namespace stratovane
