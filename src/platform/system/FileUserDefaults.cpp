// The settings store: stored values kept in a per-user file over in-memory fallbacks.
#include "platform/system/FileUserDefaults.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <type_traits>
#include <utility>

#include "platform/Translation.h"
#include "platform/system/FileAccess.h"
#include "platform/system/NumberText.h"
#include "platform/system/SettingsFileFormat.h"

namespace stratovane {

namespace {

constexpr unsigned kFileMode = 0600;  // the file holds the API key
constexpr unsigned kDirectoryMode = 0700;

bool isAbsolute(const char* path) {
  return path != nullptr && path[0] == '/';
}

std::string homeFromPasswordDatabase() {
  std::vector<char> buffer(16384);
  struct passwd entry {};
  struct passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr)
    return {};
  return isAbsolute(found->pw_dir) ? found->pw_dir : std::string();
}

std::string utcStamp() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char text[32];
  const std::size_t length = std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &utc);
  return std::string(text, length);
}

std::string textOf(const auto& value) {
  using T = std::decay_t<decltype(value)>;
  if constexpr (std::is_same_v<T, std::int64_t>) {
    return std::to_string(value);
  } else if constexpr (std::is_same_v<T, double>) {
    return shortestFixedText(value);
  } else {
    return value;
  }
}

}  // namespace

FileUserDefaults::FileUserDefaults(std::filesystem::path file) : file_(std::move(file)) {
  if (!file_.empty()) load();
}

std::filesystem::path FileUserDefaults::defaultPath() {
  return defaultPath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

std::filesystem::path FileUserDefaults::defaultPath(const char* configHome, const char* home) {
  std::filesystem::path base;
  if (isAbsolute(configHome)) {
    base = configHome;
  } else {
    const std::string homeDirectory = isAbsolute(home) ? home : homeFromPasswordDatabase();
    if (homeDirectory.empty()) return {};
    base = std::filesystem::path(homeDirectory) / ".config";
  }
  return base / "stratovane" / "settings.ini";
}

std::optional<FileUserDefaults::Value> FileUserDefaults::lookUp(const std::string& key) const {
  std::shared_lock lock(mutex_);
  if (const auto stored = stored_.find(key); stored != stored_.end()) return stored->second;
  if (const auto fallback = registered_.find(key); fallback != registered_.end())
    return fallback->second;
  return std::nullopt;
}

std::int64_t FileUserDefaults::integerForKey(const std::string& key) const {
  const auto value = lookUp(key);
  if (!value) return 0;
  return std::visit(
      [](const auto& v) -> std::int64_t {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::int64_t>) {
          return v;
        } else if constexpr (std::is_same_v<T, double>) {
          return integerFromDouble(v);
        } else {
          return integerFromText(v);
        }
      },
      *value);
}

double FileUserDefaults::doubleForKey(const std::string& key) const {
  const auto value = lookUp(key);
  if (!value) return 0.0;
  return std::visit(
      [](const auto& v) -> double {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::string>) {
          return doubleFromText(v);
        } else {
          return static_cast<double>(v);
        }
      },
      *value);
}

std::optional<std::string> FileUserDefaults::stringForKey(const std::string& key) const {
  const auto value = lookUp(key);
  if (!value) return std::nullopt;
  return std::visit(
      [](const auto& v) -> std::string {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, double>) {
          return shortestText(v);
        } else {
          return textOf(v);
        }
      },
      *value);
}

void FileUserDefaults::setInteger(std::int64_t value, const std::string& key) {
  store(key, Value(value));
}

void FileUserDefaults::setDouble(double value, const std::string& key) {
  store(key, Value(value));
}

void FileUserDefaults::setString(const std::string& value, const std::string& key) {
  store(key, Value(value));
}

void FileUserDefaults::removeObject(const std::string& key) {
  store(key, std::nullopt);
}

void FileUserDefaults::registerDefaults(
    const std::vector<std::pair<std::string, std::string>>& values) {
  std::unique_lock lock(mutex_);
  for (const auto& [key, value] : values) registered_.insert_or_assign(key, value);
}

bool FileUserDefaults::savesToFile() const {
  return savesToFile_;
}

void FileUserDefaults::store(const std::string& key, std::optional<Value> value) {
  std::lock_guard saving(saveMutex_);
  {
    std::unique_lock lock(mutex_);
    if (value) {
      stored_.insert_or_assign(key, std::move(*value));
    } else {
      stored_.erase(key);
    }
  }
  if (batchDepth_ > 0) {
    batchChanged_ = true;
  } else {
    saveStored();
  }
}

void FileUserDefaults::batchWrites(const std::function<void()>& changes) {
  std::lock_guard saving(saveMutex_);
  // Saves what was changed even when `changes` throws.
  struct Batch {
    FileUserDefaults& store;
    explicit Batch(FileUserDefaults& s) : store(s) { ++store.batchDepth_; }
    ~Batch() {
      if (--store.batchDepth_ == 0 && std::exchange(store.batchChanged_, false)) store.saveStored();
    }
  } batch(*this);
  changes();
}

void FileUserDefaults::readTogether(const std::function<void()>& reads) const {
  std::lock_guard together(saveMutex_);
  reads();
}

std::map<std::string, std::string> FileUserDefaults::storedTexts() const {
  std::map<std::string, std::string> texts;
  for (const auto& [key, value] : stored_) {
    texts.emplace(key, std::visit([](const auto& v) { return textOf(v); }, value));
  }
  return texts;
}

void FileUserDefaults::saveStored() {
  std::map<std::string, std::string> texts;
  {
    std::shared_lock lock(mutex_);
    if (!savesToFile_) return;
    texts = storedTexts();
  }
  save(texts);
}

bool FileUserDefaults::reloadStoredValues() {
  if (file_.empty()) return false;
  // Not in the middle of an own save: the file and memory agree between saves.
  std::lock_guard saving(saveMutex_);
  const FileContents contents = readRegularFile(file_, kMaximumFileSize);
  if (contents.status != FileContents::Status::read || contents.bytes.empty()) return false;
  auto entries = SettingsFileFormat::parse(contents.bytes);
  if (!entries) {
    if (!keepCopyAside(contents.bytes)) {
      std::unique_lock lock(mutex_);
      savesToFile_ = false;
    }
    return false;
  }
  std::unique_lock lock(mutex_);
  savesToFile_ = true;  // the file is readable now, so a save no longer risks unread settings
  if (*entries == storedTexts()) return false;
  stored_.clear();
  for (auto& [key, value] : *entries) stored_.emplace(key, std::move(value));
  return true;
}

void FileUserDefaults::save(const std::map<std::string, std::string>& texts) {
  const bool saved = createDirectories(file_.parent_path(), kDirectoryMode) &&
                     replaceFileAtomically(file_, SettingsFileFormat::format(texts), kFileMode);
  if (saved) {
    reportedSaveFailure_ = false;
  } else if (!reportedSaveFailure_) {
    reportedSaveFailure_ = true;
    std::fprintf(stderr, tr("stratovane: cannot save the settings to %s: %s\n"), file_.c_str(),
                 std::strerror(errno));
  }
}

void FileUserDefaults::load() {
  const FileContents contents = readRegularFile(file_, kMaximumFileSize);
  switch (contents.status) {
    case FileContents::Status::missing:
      savesToFile_ = true;
      return;
    case FileContents::Status::notRegular:
    case FileContents::Status::unreadable:
    case FileContents::Status::tooLarge:
      std::fprintf(stderr,
                   tr("stratovane: cannot read the settings file %s (%s); starting with default "
                      "settings and leaving the file as it is\n"),
                   file_.c_str(),
                   contents.status == FileContents::Status::tooLarge ? tr("too large")
                   : contents.error != 0                             ? std::strerror(contents.error)
                                                                     : tr("not a regular file"));
      return;
    case FileContents::Status::read:
      break;
  }
  if (auto entries = SettingsFileFormat::parse(contents.bytes)) {
    for (auto& [key, value] : *entries) stored_.emplace(key, std::move(value));
    savesToFile_ = true;
    return;
  }
  savesToFile_ = keepCopyAside(contents.bytes);
}

bool FileUserDefaults::keepCopyAside(const std::string& bytes) {
  // A copy of what was read: renaming would take away whatever is at the path by now, such as
  // the finished file of a program that was writing it.
  if (!copiedAside_.empty() && bytes == copiedAside_) return true;
  std::filesystem::path aside = file_;
  aside += ".corrupt-" + utcStamp();
  const std::filesystem::path kept = writeNewFile(aside, bytes, kFileMode);
  if (kept.empty()) {
    std::fprintf(stderr,
                 tr("stratovane: the settings file %s is not valid, and no copy of what was read "
                    "could be kept (%s); the file is left as it is and not saved over\n"),
                 file_.c_str(), std::strerror(errno));
    return false;
  }
  copiedAside_ = bytes;
  std::fprintf(
      stderr,
      tr("stratovane: the settings file %s is not valid; a copy of what was read is kept as "
         "%s and the file is left as it is\n"),
      file_.c_str(), kept.c_str());
  return true;
}

}  // namespace stratovane
