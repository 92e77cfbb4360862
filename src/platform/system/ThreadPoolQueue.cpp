// The background queue: a small pool of low-priority worker threads running jobs concurrently.
#include "platform/system/ThreadPoolQueue.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/Translation.h"
#include "platform/system/GuardedCall.h"

namespace stratovane {

namespace {

constexpr int kWorkerNiceness = 10;

}  // namespace

struct ThreadPoolQueue::State {
  std::mutex mutex;
  std::condition_variable wake;
  std::deque<std::function<void()>> jobs;
  std::size_t maximumWorkers = 1;
  std::size_t workers = 0;
  std::size_t idleWorkers = 0;
  bool suspended = false;
  bool stopping = false;

  // Called with the mutex held: starts workers until every waiting job has one or the pool is
  // full. A thread that cannot be created leaves its job waiting for the next chance.
  void startWorkers(const std::shared_ptr<State>& self) {
    while (!suspended && !stopping && workers < maximumWorkers && jobs.size() > idleWorkers) {
      try {
        std::thread(&State::work, self).detach();
      } catch (...) {
        return;
      }
      ++workers;
      ++idleWorkers;
    }
  }

  static void work(std::shared_ptr<State> state) {
    // On Linux the priority of a thread is set through its thread id.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kWorkerNiceness);
    std::unique_lock lock(state->mutex);
    for (;;) {
      state->wake.wait(
          lock, [&] { return state->stopping || (!state->suspended && !state->jobs.empty()); });
      if (state->stopping) break;
      std::function<void()> job = std::move(state->jobs.front());
      state->jobs.pop_front();
      --state->idleWorkers;
      lock.unlock();
      callGuarded(job, trLater("a background job"));
      job = nullptr;  // its captures are released outside the lock, too
      lock.lock();
      ++state->idleWorkers;
    }
    --state->workers;
    --state->idleWorkers;
  }
};

ThreadPoolQueue::ThreadPoolQueue(Start start, std::size_t workers)
    : state_(std::make_shared<State>()) {
  state_->maximumWorkers = std::max<std::size_t>(workers, 1);
  state_->suspended = start == Start::suspended;
}

ThreadPoolQueue::~ThreadPoolQueue() {
  std::deque<std::function<void()>> dropped;
  {
    std::lock_guard lock(state_->mutex);
    state_->stopping = true;
    dropped.swap(state_->jobs);
  }
  state_->wake.notify_all();
}

void ThreadPoolQueue::async(std::function<void()> job) {
  {
    std::lock_guard lock(state_->mutex);
    if (state_->stopping) return;
    state_->jobs.push_back(std::move(job));
    state_->startWorkers(state_);
  }
  state_->wake.notify_one();
}

void ThreadPoolQueue::resume() {
  {
    std::lock_guard lock(state_->mutex);
    if (!state_->suspended) return;
    state_->suspended = false;
    state_->startWorkers(state_);
  }
  state_->wake.notify_all();
}

}  // namespace stratovane
