// A repeating timer on the default GLib main context.
#include "platform/system/GLibTimer.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/Translation.h"
#include "platform/system/GuardedCall.h"

namespace stratovane {

namespace {

constexpr double kShortestInterval = 0.0001;

double effectiveInterval(double seconds) {
  if (!(seconds > 0)) return kShortestInterval;  // also NaN
  return std::min(seconds, Timer::kMaximumInterval);
}

void releaseTimer(gpointer data) {
  // Takes back the reference handed to the source in attach().
  std::unique_ptr<std::shared_ptr<GLibTimer>> owned(static_cast<std::shared_ptr<GLibTimer>*>(data));
}

}  // namespace

GLibTimer::GLibTimer(double seconds, std::function<void()> action)
    : interval_(effectiveInterval(seconds)), action_(std::move(action)) {}

GLibTimer::~GLibTimer() {
  detach();
}

void GLibTimer::start() {
  if (valid_ && !source_) attach();
}

bool GLibTimer::usesSeconds() const {
  // Milliseconds in a guint cover 49 days; longer periods need the seconds timeout anyway.
  return tolerance_ >= 1.0 || interval_ * 1000.0 > static_cast<double>(G_MAXUINT);
}

void GLibTimer::attach() {
  GSource* source = nullptr;
  if (usesSeconds()) {
    const double seconds = std::clamp(std::round(interval_), 1.0, static_cast<double>(G_MAXUINT));
    source = g_timeout_source_new_seconds(static_cast<guint>(seconds));
  } else {
    const double milliseconds = std::max(1.0, std::round(interval_ * 1000.0));
    source = g_timeout_source_new(static_cast<guint>(milliseconds));
  }
  auto self = std::make_unique<std::shared_ptr<GLibTimer>>(shared_from_this());
  source_ = attachSource(source, &GLibTimer::fire, self.release(), &releaseTimer);
}

void GLibTimer::detach() {
  // Destroying the source releases its reference to this timer; GLib defers that until a
  // running dispatch of the source has returned.
  source_.reset();
}

gboolean GLibTimer::fire(gpointer data) {
  const std::shared_ptr<GLibTimer> self = *static_cast<std::shared_ptr<GLibTimer>*>(data);
  if (!self->valid_) return G_SOURCE_REMOVE;
  // The action may invalidate this timer, which drops the stored action: run a local one so
  // that the callable is not destroyed while it runs.
  std::function<void()> action = std::exchange(self->action_, nullptr);
  callGuarded(action, trLater("a timer action"));
  if (!self->valid_) return G_SOURCE_REMOVE;
  self->action_ = std::move(action);
  return G_SOURCE_CONTINUE;
}

void GLibTimer::invalidate() {
  if (!valid_) return;
  valid_ = false;
  action_ = nullptr;  // releases what the action holds, as an invalidated timer does
  detach();
}

void GLibTimer::setTolerance(double seconds) {
  const bool before = usesSeconds();
  tolerance_ = seconds > 0 ? seconds : 0.0;
  if (valid_ && source_ && usesSeconds() != before) {
    detach();
    attach();
  }
}

}  // namespace stratovane
