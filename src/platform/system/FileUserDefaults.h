// The settings store: stored values kept in a per-user file over in-memory fallbacks.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "platform/UserDefaults.h"

namespace stratovane {

// Stored values keep their type in memory: integer, double or text. The file holds texts:
// after a reload every value is a text, and the typed reads convert it (a double is written
// in fixed notation with the fewest digits that read back the same, so its integer read is
// unchanged by a reload; infinities and NaN read back as 0).
//
// Every write saves the whole file atomically, mode 0600, in a directory created 0700; the
// writes of one batchWrites call are saved once, together. A save that fails keeps the value in
// memory; it is reported on standard error, once until a save succeeds again.
//
// A file that is not a settings file (see SettingsFileFormat) may be one that another program
// is writing at this moment, so it stays where it is: the bytes read are kept in a new file
// "settings.ini.corrupt-<UTC time>" and the store starts empty (when no copy can be made,
// nothing is saved over the file until it is valid again). A file that exists but cannot
// be read (permission, I/O error, larger than the limit, a directory or device in its place)
// is left untouched, and nothing is saved for the rest of the run, so that settings it may hold
// are never overwritten.
class FileUserDefaults final : public UserDefaults {
 public:
  // An empty path keeps everything in memory.
  explicit FileUserDefaults(std::filesystem::path file);
  FileUserDefaults(const FileUserDefaults&) = delete;
  FileUserDefaults& operator=(const FileUserDefaults&) = delete;

  // $XDG_CONFIG_HOME/stratovane/settings.ini; ~/.config instead when the variable is unset,
  // empty or not absolute. Empty when no home directory is known either.
  static std::filesystem::path defaultPath();
  static std::filesystem::path defaultPath(const char* configHome, const char* home);

  std::int64_t integerForKey(const std::string& key) const override;
  double doubleForKey(const std::string& key) const override;
  std::optional<std::string> stringForKey(const std::string& key) const override;

  void setInteger(std::int64_t value, const std::string& key) override;
  void setDouble(double value, const std::string& key) override;
  void setString(const std::string& value, const std::string& key) override;
  void removeObject(const std::string& key) override;

  void batchWrites(const std::function<void()>& changes) override;
  void readTogether(const std::function<void()>& reads) const override;

  void registerDefaults(const std::vector<std::pair<std::string, std::string>>& values) override;

  // Reads the file again after another program changed it and takes its values as the stored
  // ones; the registered fallbacks stay. True when the stored values changed, so that a file
  // holding what this store itself saved last is no change. A file that is missing, empty (a writer
  // has just truncated it) or not a settings file leaves the values as they are.
  bool reloadStoredValues();

  const std::filesystem::path& file() const { return file_; }

  // Whether writes reach the file: false for a memory-only store and after an unreadable file.
  bool savesToFile() const;

  static constexpr std::size_t kMaximumFileSize = 16 * 1024 * 1024;

 private:
  using Value = std::variant<std::int64_t, double, std::string>;

  // The stored value, else the registered fallback as a text; none when neither exists.
  std::optional<Value> lookUp(const std::string& key) const;
  void store(const std::string& key, std::optional<Value> value);
  void load();
  // The stored values as the file holds them; the caller holds mutex_.
  std::map<std::string, std::string> storedTexts() const;
  void saveStored();
  void save(const std::map<std::string, std::string>& texts);
  // False when no copy could be made; the file must then not be saved over.
  bool keepCopyAside(const std::string& bytes);

  const std::filesystem::path file_;
  mutable std::shared_mutex mutex_;  // guards the two layers; readers come from any thread
  std::map<std::string, Value> stored_;
  std::map<std::string, std::string> registered_;
  // Held across a change and its save (a whole batch), so that saves reach the file in the
  // order of changes, while readers wait only for the change itself; and across reads that
  // belong together. Recursive for nested
  // batches and for writes inside a batch.
  mutable std::recursive_mutex saveMutex_;
  int batchDepth_ = 0;  // guarded by saveMutex_
  bool batchChanged_ = false;
  bool savesToFile_ = false;
  bool reportedSaveFailure_ = false;
  std::string copiedAside_;  // the bytes of the last copy, so that a re-read adds no duplicate
};

}  // namespace stratovane
