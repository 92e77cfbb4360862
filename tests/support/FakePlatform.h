// Fakes of the platform ports for fast, deterministic controller tests with virtual time.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/HttpLoader.h"
#include "platform/LocationService.h"
#include "platform/ReachabilityService.h"
#include "platform/RunLoop.h"
#include "platform/StatusItem.h"
#include "platform/Workspace.h"

namespace stratovane::testing {

class FakeRunLoop;

class FakeTimer : public Timer {
 public:
  FakeTimer(double interval, std::function<void()> action, double firstFire)
      : interval_(interval), action_(std::move(action)), nextFire_(firstFire) {}

  void invalidate() override { valid_ = false; }
  bool isValid() const override { return valid_; }
  double timeInterval() const override { return interval_; }
  double tolerance() const override { return tolerance_; }
  void setTolerance(double seconds) override { tolerance_ = seconds; }

 private:
  friend class FakeRunLoop;
  double interval_;
  std::function<void()> action_;
  double nextFire_;
  double tolerance_ = 0;
  bool valid_ = true;
};

// Time only moves when a test advances it; due timers fire in time order.
class FakeRunLoop : public RunLoop {
 public:
  std::shared_ptr<Timer> scheduledTimer(double seconds, std::function<void()> action) override {
    return timers_.emplace_back(
        std::make_shared<FakeTimer>(seconds, std::move(action), now_ + seconds));
  }

  void advance(double seconds) {
    const double end = now_ + seconds;
    for (;;) {
      std::shared_ptr<FakeTimer> next;
      for (const auto& timer : timers_)
        if (timer->valid_ && timer->nextFire_ <= end &&
            (!next || timer->nextFire_ < next->nextFire_))
          next = timer;
      if (!next) break;
      now_ = next->nextFire_;
      next->nextFire_ += next->interval_;
      next->action_();
    }
    now_ = end;
  }
  double now() const { return now_; }
  std::vector<std::shared_ptr<FakeTimer>> validTimers() const {
    std::vector<std::shared_ptr<FakeTimer>> valid;
    for (const auto& timer : timers_)
      if (timer->valid_) valid.push_back(timer);
    return valid;
  }

 private:
  double now_ = 0;
  std::vector<std::shared_ptr<FakeTimer>> timers_;
};

// Jobs wait until the test runs them.
class FakeQueue : public Queue {
 public:
  void async(std::function<void()> job) override { jobs_.push_back(std::move(job)); }
  // Runs queued jobs, including those they submit, until none is left.
  void runAll() {
    while (!jobs_.empty()) runAt(0);
  }
  // Runs only the job at this position of the queue.
  void runAt(std::size_t position) {
    auto job = std::move(jobs_.at(position));
    jobs_.erase(jobs_.begin() + static_cast<std::ptrdiff_t>(position));
    job();
  }
  std::size_t size() const { return jobs_.size(); }

 private:
  std::deque<std::function<void()>> jobs_;
};

class FakeStatusItem : public StatusItem {
 public:
  bool hasButton() const override { return hasButton_; }
  void setTitle(const std::string& title) override { titles.push_back(title); }
  std::string title() const override { return titles.empty() ? std::string() : titles.back(); }
  void setMenu(std::shared_ptr<Menu> menu) override { menu_ = std::move(menu); }
  std::shared_ptr<Menu> menu() const override { return menu_; }

  // Titles of the menu's items, separators written as "---".
  std::vector<std::string> menuTitles() const {
    std::vector<std::string> result;
    if (menu_)
      for (const auto& item : menu_->items()) result.push_back(item.separator ? "---" : item.title);
    return result;
  }
  // Runs the action of the first item with this title.
  void choose(const std::string& title) const {
    for (const auto& item : menu_->items())
      if (!item.separator && item.title == title && item.action) {
        const auto action = item.action;  // the action may rebuild the menu
        return action();
      }
    throw std::invalid_argument("no menu item " + title);
  }

  std::vector<std::string> titles;  // every title written, in order, with a button or not
  bool hasButton_ = true;

 private:
  std::shared_ptr<Menu> menu_;
};

class FakeReachability : public ReachabilityService {
 public:
  std::optional<std::uint32_t> flagsForAnyAddress(int) override { return flags; }
  std::optional<std::uint32_t> flags = kReachable;
};

class FakeHttpLoader : public HttpLoader {
 public:
  std::optional<std::string> load(const std::string& url) override {
    urls.push_back(url);
    return respond ? respond(url) : response;
  }
  std::vector<std::string> urls;
  std::optional<std::string> response;
  std::function<std::optional<std::string>(const std::string&)> respond;  // wins over response
};

// Records the addresses it is asked to open.
class FakeWorkspace : public Workspace {
 public:
  bool openURL(const std::string& url) override {
    urls.push_back(url);
    return true;
  }
  std::vector<std::string> urls;
};

// Answers when the test says so; dropped work never answers.
class FakeLocationService : public LocationService {
 public:
  std::unique_ptr<PendingWork> checkAvailable(std::function<void(bool)> answer) override {
    availabilityAnswer = std::move(answer);
    return std::make_unique<Work>([this] { availabilityAnswer = nullptr; });
  }
  std::unique_ptr<PendingWork> locate(
      std::function<void(std::optional<Coordinate>)> done) override {
    const int request = ++locateCount;
    answer = std::move(done);
    return std::make_unique<Work>([this, request] {
      if (request == locateCount) answer = nullptr;
    });
  }
  // The position, or none for a refusal, to the request under way; false when none is.
  bool respond(std::optional<Coordinate> position) {
    if (!answer) return false;
    std::exchange(answer, nullptr)(position);
    return true;
  }
  bool isLocating() const { return static_cast<bool>(answer); }

  std::function<void(bool)> availabilityAnswer;
  std::function<void(std::optional<Coordinate>)> answer;
  int locateCount = 0;

 private:
  struct Work : PendingWork {
    explicit Work(std::function<void()> dropped) : dropped(std::move(dropped)) {}
    ~Work() override { dropped(); }
    std::function<void()> dropped;
  };
};

}  // namespace stratovane::testing
