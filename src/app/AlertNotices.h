// One desktop notification for each weather alert, the first time it is in force, remembered
// across runs.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/CacheFiles.h"
#include "platform/Formatting.h"
#include "platform/Notifier.h"
#include "platform/RunLoop.h"
#include "presentation/WeatherAlert.h"

namespace stratovane {

struct AlertNoticesEnvironment {
  Notifier* notifier;  // none: nothing is notified
  CacheFiles* files;   // none: the notified alerts are remembered for the run only
  RunLoop& runLoop;
  const TimeFormatting& times;
  std::function<double()> now;
  std::function<bool()> enabled;                  // the user's switch
  std::function<void(const WeatherAlert&)> open;  // shows the alert's window
};

class AlertNotices {
 public:
  static constexpr const char* kFileName = "notified-alerts.json";
  // Remembered alerts beyond these are forgotten, oldest first.
  static constexpr std::size_t kMostRemembered = 200;

  explicit AlertNotices(AlertNoticesEnvironment environment);
  ~AlertNotices() {
    if (nextStart_) nextStart_->invalidate();
  }
  AlertNotices(const AlertNotices&) = delete;
  AlertNotices& operator=(const AlertNotices&) = delete;

  // Notifies each alert of `alerts` that is in force and was never notified, and looks again
  // when the next of them begins.
  void update(std::vector<WeatherAlert> alerts);

  // Summary: the event. Body: the sender, " until " and the end (its weekday too when it is not
  // on the day of `now`); the sender alone without an end.
  static Notifier::Notice noticeFor(const WeatherAlert& alert, const TimeFormatting& times,
                                    double now);

 private:
  struct Remembered {
    std::string key;
    std::optional<double> end;
    double notifiedAt = 0;
  };

  void check();
  void sent(const WeatherAlert& alert, double at);
  void load();
  void save() const;
  void scheduleNextStart(double now);

  AlertNoticesEnvironment env_;
  std::vector<WeatherAlert> alerts_;
  bool loaded_ = false;
  std::vector<Remembered> notified_;
  std::set<std::string> pending_;  // sent, no answer yet
  std::shared_ptr<Timer> nextStart_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace stratovane
