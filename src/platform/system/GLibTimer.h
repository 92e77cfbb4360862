// A repeating timer on the default GLib main context.
#pragma once

#include <functional>
#include <memory>

#include "platform/RunLoop.h"
#include "platform/system/GSourcePtr.h"

namespace stratovane {

// While valid, the timer's source holds it, as a run loop retains its timers: dropping every
// other reference does not stop it; invalidate() does. Main thread only.
//
// Periods are capped to kMaximumInterval; a period of zero or less becomes 0.1 ms. With a
// tolerance under a second the timer fires on the millisecond; with a second or more it uses
// GLib's seconds timeouts, which group wake-ups across the session (the period is then rounded
// to whole seconds). Changing between the two restarts the current period.
class GLibTimer final : public Timer, public std::enable_shared_from_this<GLibTimer> {
 public:
  GLibTimer(double seconds, std::function<void()> action);
  ~GLibTimer() override;
  GLibTimer(const GLibTimer&) = delete;
  GLibTimer& operator=(const GLibTimer&) = delete;

  // Attaches the source; the first firing comes one period later.
  void start();

  void invalidate() override;
  bool isValid() const override { return valid_; }
  double timeInterval() const override { return interval_; }
  double tolerance() const override { return tolerance_; }
  void setTolerance(double seconds) override;

 private:
  static gboolean fire(gpointer data);
  bool usesSeconds() const;
  void attach();
  void detach();

  double interval_;
  double tolerance_ = 0;
  std::function<void()> action_;
  AttachedSource source_;
  bool valid_ = true;
};

}  // namespace stratovane
