// The GLib main context: the main queue's jobs, and timers (repetition, invalidation, tolerance,
// lifetimes).
#include <glib.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <numeric>
#include <stdexcept>
#include <thread>

#include "platform/system/GLibMainQueue.h"
#include "platform/system/GLibRunLoop.h"

namespace stratovane {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Iterates the default main context until `done` or `limit` has passed; returns `done()`.
// GLib warnings and criticals abort, so that misuse of a source shows as a failure.
bool runMainContextUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  g_log_set_always_fatal(static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL));
  const auto deadline = Clock::now() + limit;
  while (!done() && Clock::now() < deadline)
    if (!g_main_context_iteration(nullptr, FALSE)) std::this_thread::sleep_for(1ms);
  return done();
}

// For running the context a while, whatever happens.
const auto never = [] { return false; };

TEST(GLibMainQueueJobs, RunInOrderOnTheMainThreadNeverInsideAsyncAndJobsOfJobsComeAfter) {
  GLibMainQueue queue;
  const auto mainThread = std::this_thread::get_id();
  std::vector<int> order;
  bool allOnMain = true;
  queue.async([&] {
    order.push_back(-1);
    queue.async([&] { order.push_back(1000); });
  });
  std::thread submitter([&] {
    for (int i = 0; i < 200; ++i) {
      queue.async([&, i] {
        order.push_back(i);
        allOnMain = allOnMain && std::this_thread::get_id() == mainThread;
      });
    }
  });
  submitter.join();
  EXPECT_TRUE(order.empty());
  EXPECT_TRUE(runMainContextUntil([&] { return order.size() == 202; }, 5s));
  std::vector<int> expected(202);
  std::iota(expected.begin(), expected.end(), -1);
  expected.back() = 1000;
  EXPECT_EQ(order, expected);
  EXPECT_TRUE(allOnMain);
}

TEST(GLibMainQueueLifetime, PendingJobsAreDroppedWithTheQueue) {
  bool ran = false;
  auto payload = std::make_shared<int>(0);
  {
    GLibMainQueue queue;
    queue.async([&ran, payload] { ran = true; });
  }
  EXPECT_EQ(payload.use_count(), 1);
  runMainContextUntil(never, 50ms);
  EXPECT_FALSE(ran);
}

TEST(GLibTimerFiring,
     RepeatsOnePeriodApartWhateverTheToleranceOrTheActionThrowsAndBadPeriodsAreMadeSafe) {
  GLibRunLoop loop;
  std::vector<double> firings;
  const auto start = Clock::now();
  const auto timer = loop.scheduledTimer(0.1, [&] {
    firings.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    throw std::runtime_error("from a test");
  });
  int count = 0;
  const auto huge = loop.scheduledTimer(1e300, [&] { ++count; });
  EXPECT_EQ(huge->timeInterval(), Timer::kMaximumInterval);
  const auto negative = loop.scheduledTimer(-5, [&] { ++count; });
  const auto notANumber = loop.scheduledTimer(std::nan(""), [&] { ++count; });
  EXPECT_GT(negative->timeInterval(), 0.0);
  EXPECT_GT(notANumber->timeInterval(), 0.0);
  ASSERT_TRUE(runMainContextUntil([&] { return firings.size() >= 3 && count >= 4; }, 5s));
  EXPECT_GE(firings[0], 0.095);
  EXPECT_GE(firings[2], 0.295);
  EXPECT_TRUE(timer->isValid());
  // A second of tolerance moves it to coarse timeouts, and none back to fine ones: it repeats.
  for (const double tolerance : {60.0, 0.0}) {
    timer->setTolerance(tolerance);
    const std::size_t before = firings.size();
    EXPECT_TRUE(runMainContextUntil([&] { return firings.size() >= before + 2; }, 5s));
  }
  for (const auto& each : {timer, huge, negative, notANumber}) each->invalidate();
}

TEST(GLibTimerInvalidation, StopsFiringAndReleasesTheActionFromInsideItOrWhenTheLoopGoes) {
  int count = 0, ownCount = 0, unheldCount = 0;
  std::string seen;
  auto payload = std::make_shared<int>(0);
  std::shared_ptr<Timer> own, kept;
  {
    GLibRunLoop loop;
    const auto timer = loop.scheduledTimer(0.01, [&count, payload] { ++count; });
    // The action uses its captures after invalidating: they must still be alive then.
    own = loop.scheduledTimer(0.01, [&, text = std::make_shared<std::string>("still here")] {
      ++ownCount;
      own->invalidate();
      seen = *text;
    });
    loop.scheduledTimer(0.01, [&] { ++unheldCount; });  // the loop keeps it
    kept = loop.scheduledTimer(3600, [] {});
    ASSERT_TRUE(runMainContextUntil([&] { return count >= 1 && ownCount >= 1; }, 5s));
    timer->invalidate();
    EXPECT_FALSE(timer->isValid());
    EXPECT_EQ(payload.use_count(), 1);
    const int atInvalidation = count, unheldBefore = unheldCount;
    runMainContextUntil(never, 100ms);
    EXPECT_EQ(count, atInvalidation);
    EXPECT_GT(unheldCount, unheldBefore);
    timer->invalidate();  // a second time does nothing
  }
  const int unheldAtEnd = unheldCount;
  runMainContextUntil(never, 50ms);
  EXPECT_EQ(unheldCount, unheldAtEnd);
  EXPECT_EQ(ownCount, 1);
  EXPECT_EQ(seen, "still here");
  EXPECT_FALSE(kept->isValid());
  kept->setTolerance(5);  // a timer that outlives its loop stays harmless
  kept->invalidate();
}

}  // namespace
}  // namespace stratovane
