// Small helpers of the presentation tests: answers parsed from text, times, locales.
#pragma once

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

#include "json/JSON.h"
#include "platform/Formatting.h"

namespace stratovane::testing {

inline JSON answer(const std::string& text) {
  return JSON(Data{text}, {});
}

// Writes the seconds themselves, so tests see which member was read as the time.
class SecondsTimeFormatting : public TimeFormatting {
 public:
  std::string shortTime(double secondsSince1970) const override {
    return "t" + std::to_string(static_cast<long long>(secondsSince1970));
  }
  std::string weekdayShortTime(double secondsSince1970) const override {
    return "w" + std::to_string(static_cast<long long>(secondsSince1970));
  }
  // Days of 1000 seconds, so that small test times cross them.
  bool sameDay(double one, double other) const override {
    return std::floor(one / 1000) == std::floor(other / 1000);
  }
};

// Sets an environment variable for one scope, restoring the old value (or its absence) after.
// Calls no tzset: the code under test must notice a changed TZ by itself.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

}  // namespace stratovane::testing
