// The background pool: suspension until resume, bounded concurrency, priority, shutdown.
#include "platform/system/ThreadPoolQueue.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <future>
#include <stdexcept>

namespace stratovane {
namespace {

using namespace std::chrono_literals;

TEST(ThreadPoolQueueJobs, RunNothingUntilResumedThenUpToTheWorkersAtOnceAtALowerPriority) {
  ThreadPoolQueue queue(ThreadPoolQueue::Start::suspended, 2);
  std::promise<void> open;
  const std::shared_future<void> gate = open.get_future().share();
  std::atomic<int> running = 0;
  std::atomic<int> mostAtOnce = 0;
  std::atomic<int> finished = 0;
  std::atomic<int> notLowered = 0;
  const int ownPriority = getpriority(PRIO_PROCESS, 0);
  queue.async([] { throw std::runtime_error("from a test"); });  // the worker goes on
  for (int i = 0; i < 5; ++i) {
    queue.async([&, gate] {
      if (getpriority(PRIO_PROCESS, static_cast<id_t>(gettid())) <= ownPriority) ++notLowered;
      const int now = ++running;
      for (int seen = mostAtOnce; now > seen && !mostAtOnce.compare_exchange_weak(seen, now);) {
      }
      gate.wait();
      --running;
      ++finished;
    });
  }
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(running, 0);
  queue.resume();
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(running, 2);
  open.set_value();
  for (int i = 0; i < 500 && finished < 5; ++i) std::this_thread::sleep_for(10ms);
  EXPECT_EQ(finished, 5);
  EXPECT_EQ(mostAtOnce, 2);
  EXPECT_EQ(notLowered, 0);
}

TEST(ThreadPoolQueueShutdown, DestructionDoesNotWaitForABlockedJobAndDropsWaitingOnes) {
  // Shared with the jobs, which may outlive the queue.
  auto open = std::make_shared<std::promise<void>>();
  auto started = std::make_shared<std::promise<void>>();
  auto finished = std::make_shared<std::promise<void>>();
  auto waitingRan = std::make_shared<std::atomic<bool>>(false);
  auto queue = std::make_unique<ThreadPoolQueue>(ThreadPoolQueue::Start::running, 1);
  queue->async([gate = open->get_future().share(), started, finished] {
    started->set_value();
    gate.wait();  // a load that takes its time
    finished->set_value();
  });
  queue->async([waitingRan] { *waitingRan = true; });
  started->get_future().wait();
  const auto before = std::chrono::steady_clock::now();
  queue.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
  open->set_value();
  EXPECT_EQ(finished->get_future().wait_for(5s), std::future_status::ready);
  std::this_thread::sleep_for(50ms);
  EXPECT_FALSE(*waitingRan);
}

}  // namespace
}  // namespace stratovane
