// Small helpers of the presentation tests: answers parsed from text, settings, times, locales.
#pragma once

#include <cmath>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "json/JSON.h"
#include "platform/Formatting.h"
#include "platform/UserDefaults.h"

namespace stratovane::testing {

inline JSON answer(const std::string& text) {
  return JSON(Data{text}, {});
}

// Stored values only, kept as texts; integers read as the store reads them (else 0).
class StubDefaults : public UserDefaults {
 public:
  std::int64_t integerForKey(const std::string& key) const override {
    const auto found = values_.find(key);
    try {
      return found == values_.end() ? 0 : std::stoll(found->second);
    } catch (...) {
      return 0;
    }
  }
  double doubleForKey(const std::string&) const override { return 0; }
  std::optional<std::string> stringForKey(const std::string&) const override { return {}; }
  void setInteger(std::int64_t value, const std::string& key) override {
    values_[key] = std::to_string(value);
  }
  void setDouble(double, const std::string&) override {}
  void setString(const std::string& value, const std::string& key) override {
    values_[key] = value;
  }
  void removeObject(const std::string& key) override { values_.erase(key); }
  void registerDefaults(const std::vector<std::pair<std::string, std::string>>&) override {}

 private:
  std::map<std::string, std::string> values_;
};

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
