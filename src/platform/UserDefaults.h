// The per-user settings store: stored values over registered, in-memory fallbacks.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace stratovane {

// Reads are safe from any thread while the main thread writes. A read consults the stored
// value first and the registered fallback second. Typed reads convert:
//   integer read: a stored number as an integer, a stored text parsed as a decimal integer, else 0
//   double read:  a stored number as a double, a stored text parsed as a decimal number, else 0.0
//   string read:  a stored number as its decimal text, a stored text as is, else none
class UserDefaults {
 public:
  virtual ~UserDefaults() = default;

  virtual std::int64_t integerForKey(const std::string& key) const = 0;
  virtual double doubleForKey(const std::string& key) const = 0;
  virtual std::optional<std::string> stringForKey(const std::string& key) const = 0;

  virtual void setInteger(std::int64_t value, const std::string& key) = 0;
  virtual void setDouble(double value, const std::string& key) = 0;
  virtual void setString(const std::string& value, const std::string& key) = 0;
  virtual void removeObject(const std::string& key) = 0;

  // Runs `changes`, whose writes reach persistent storage together when it returns (one save
  // instead of one per write). Readers on other threads may see the writes one by one.
  virtual void batchWrites(const std::function<void()>& changes) { changes(); }

  // Runs `reads` with no write from another thread among them, so that values read together
  // belong together.
  virtual void readTogether(const std::function<void()>& reads) const { reads(); }

  // Fallbacks live in memory only and are never saved.
  virtual void registerDefaults(const std::vector<std::pair<std::string, std::string>>& values) = 0;
};

}  // namespace stratovane
