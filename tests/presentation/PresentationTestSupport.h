// Small helpers of the presentation tests: answers parsed from text, settings, times, locales.
#pragma once

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

// Stored values only, kept as texts and read with the store's conversions.
class StubDefaults : public UserDefaults {
 public:
  std::int64_t integerForKey(const std::string& key) const override {
    const auto found = values_.find(key);
    if (found == values_.end()) return 0;
    try {
      return std::stoll(found->second);
    } catch (...) {
      return 0;
    }
  }
  double doubleForKey(const std::string& key) const override {
    const auto found = values_.find(key);
    if (found == values_.end()) return 0;
    try {
      return std::stod(found->second);
    } catch (...) {
      return 0;
    }
  }
  std::optional<std::string> stringForKey(const std::string& key) const override {
    const auto found = values_.find(key);
    if (found == values_.end()) return std::nullopt;
    return found->second;
  }
  void setInteger(std::int64_t value, const std::string& key) override {
    values_[key] = std::to_string(value);
  }
  void setDouble(double value, const std::string& key) override {
    values_[key] = std::to_string(value);
  }
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
