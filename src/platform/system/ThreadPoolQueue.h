// The background queue: a small pool of low-priority worker threads running jobs concurrently.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>

#include "platform/RunLoop.h"

namespace stratovane {

// Jobs start in the order of submission, up to `workers` at a time; workers are started as
// jobs need them and run at a lowered scheduling priority (nice 10, where permitted).
//
// Exit policy: workers are detached and share the queue's state, never the queue object. The
// destructor drops jobs that have not started and returns at once; a job that is running (a
// load may block for a minute) finishes on its own thread, so whatever it uses must outlive
// it. The application keeps its objects until the process ends with _Exit, which does not
// wait for the workers. Do not end the process with exit() while jobs run: static
// destructors would run under them.
class ThreadPoolQueue final : public Queue {
 public:
  enum class Start { running, suspended };
  static constexpr std::size_t kDefaultWorkers = 4;

  // A suspended queue accepts jobs but starts none until resume().
  explicit ThreadPoolQueue(Start start = Start::running, std::size_t workers = kDefaultWorkers);
  ~ThreadPoolQueue() override;
  ThreadPoolQueue(const ThreadPoolQueue&) = delete;
  ThreadPoolQueue& operator=(const ThreadPoolQueue&) = delete;

  void async(std::function<void()> job) override;
  void resume();

 private:
  struct State;
  std::shared_ptr<State> state_;
};

}  // namespace stratovane
