// The main queue: jobs from any thread run later, in order, on the main context's thread.
#include "platform/system/GLibMainQueue.h"

#include <gtest/gtest.h>

#include <numeric>
#include <thread>

#include "MainContextRunner.h"

namespace stratovane {
namespace {

using namespace std::chrono_literals;
using testing::runMainContextFor;
using testing::runMainContextUntil;

TEST(GLibMainQueueJobs, FromAnotherThreadRunInOrderOnTheMainThread) {
  GLibMainQueue queue;
  const auto mainThread = std::this_thread::get_id();
  std::vector<int> order;
  bool allOnMain = true;
  std::thread submitter([&] {
    for (int i = 0; i < 200; ++i) {
      queue.async([&, i] {
        order.push_back(i);
        allOnMain = allOnMain && std::this_thread::get_id() == mainThread;
      });
    }
  });
  EXPECT_TRUE(runMainContextUntil([&] { return order.size() == 200; }, 5s));
  submitter.join();
  std::vector<int> expected(200);
  std::iota(expected.begin(), expected.end(), 0);
  EXPECT_EQ(order, expected);
  EXPECT_TRUE(allOnMain);
}

TEST(GLibMainQueueJobs, NeverRunInsideAsyncAndJobsSubmittedByJobsComeAfter) {
  GLibMainQueue queue;
  std::vector<std::string> order;
  queue.async([&] {
    order.push_back("first");
    queue.async([&] { order.push_back("submitted by first"); });
  });
  queue.async([&] { order.push_back("second"); });
  EXPECT_TRUE(order.empty());
  EXPECT_TRUE(runMainContextUntil([&] { return order.size() == 3; }, 5s));
  EXPECT_EQ(order, (std::vector<std::string>{"first", "second", "submitted by first"}));
}

TEST(GLibMainQueueLifetime, PendingJobsAreDroppedWithTheQueue) {
  bool ran = false;
  auto payload = std::make_shared<int>(0);
  {
    GLibMainQueue queue;
    queue.async([&ran, payload] { ran = true; });
  }
  EXPECT_EQ(payload.use_count(), 1);
  runMainContextFor(50ms);
  EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace stratovane
