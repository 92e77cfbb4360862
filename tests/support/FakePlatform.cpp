// Fakes of the platform ports.
#include "support/FakePlatform.h"

#include <algorithm>
#include <stdexcept>

namespace stratovane::testing {

std::shared_ptr<Timer> FakeRunLoop::scheduledTimer(double seconds, std::function<void()> action) {
  auto timer = std::make_shared<FakeTimer>(seconds, std::move(action), now_ + seconds);
  timers_.push_back(timer);
  return timer;
}

void FakeRunLoop::advance(double seconds) {
  const double end = now_ + seconds;
  for (;;) {
    std::shared_ptr<FakeTimer> next;
    for (const auto& timer : timers_)
      if (timer->valid_ && timer->nextFire_ <= end && (!next || timer->nextFire_ < next->nextFire_))
        next = timer;
    if (!next) break;
    now_ = next->nextFire_;
    next->nextFire_ += next->interval_;
    next->action_();
  }
  now_ = end;
}

std::vector<std::shared_ptr<FakeTimer>> FakeRunLoop::validTimers() const {
  std::vector<std::shared_ptr<FakeTimer>> valid;
  std::copy_if(timers_.begin(), timers_.end(), std::back_inserter(valid),
               [](const auto& timer) { return timer->isValid(); });
  return valid;
}

void FakeQueue::runAll() {
  while (!jobs_.empty()) {
    auto job = std::move(jobs_.front());
    jobs_.pop_front();
    job();
  }
}

void FakeQueue::runAt(std::size_t position) {
  if (position >= jobs_.size()) throw std::out_of_range("no such job");
  auto job = std::move(jobs_[position]);
  jobs_.erase(jobs_.begin() + static_cast<std::ptrdiff_t>(position));
  job();
}

std::vector<std::string> FakeStatusItem::menuTitles() const {
  std::vector<std::string> result;
  if (!menu_) return result;
  for (const auto& item : menu_->items()) result.push_back(item.separator ? "---" : item.title);
  return result;
}

void FakeStatusItem::choose(const std::string& title) const {
  for (const auto& item : menu_->items())
    if (!item.separator && item.title == title && item.action) {
      const auto action = item.action;  // the action may rebuild the menu
      return action();
    }
  throw std::invalid_argument("no menu item " + title);
}

}  // namespace stratovane::testing
