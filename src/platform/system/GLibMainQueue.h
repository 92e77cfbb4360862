// The main queue: jobs submitted from any thread run in order on the default GLib main context.
#pragma once

#include <functional>
#include <memory>

#include "platform/RunLoop.h"

namespace stratovane {

// Jobs run later, never inside async(), one after another in the order of submission, at
// default priority. Once the queue is destroyed, pending jobs are dropped without running and
// later submissions through other references are ignored.
class GLibMainQueue final : public Queue {
 public:
  GLibMainQueue();
  ~GLibMainQueue() override;
  GLibMainQueue(const GLibMainQueue&) = delete;
  GLibMainQueue& operator=(const GLibMainQueue&) = delete;

  void async(std::function<void()> job) override;

 private:
  struct Inbox;
  // GLib callbacks of the idle source that wakes the main context (gboolean is an int).
  static int drain(void* data);
  static void release(void* data);

  std::shared_ptr<Inbox> inbox_;
};

}  // namespace stratovane
