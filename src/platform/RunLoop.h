// Timers on the main run loop, and the queues that jobs are submitted to.
#pragma once

#include <functional>
#include <memory>

namespace stratovane {

// A repeating timer; it fires first one full period after it was scheduled.
class Timer {
 public:
  // The longest period a timer supports, in seconds; longer periods are capped to it.
  static constexpr double kMaximumInterval = 4294967295.0;

  virtual ~Timer() = default;
  virtual void invalidate() = 0;
  virtual bool isValid() const = 0;
  virtual double timeInterval() const = 0;
  virtual double tolerance() const = 0;
  // A tolerance of a second or more lets the system group wake-ups.
  virtual void setTolerance(double seconds) = 0;
};

class RunLoop {
 public:
  virtual ~RunLoop() = default;
  // Must be called on the main thread; the action runs there.
  virtual std::shared_ptr<Timer> scheduledTimer(double seconds, std::function<void()> action) = 0;
};

// Asynchronous submission; callable from any thread.
class Queue {
 public:
  virtual ~Queue() = default;
  virtual void async(std::function<void()> job) = 0;
};

}  // namespace stratovane
