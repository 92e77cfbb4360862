// The application's folder in the user's XDG cache home.
#include "platform/system/XdgCacheFiles.h"

#include <glib.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/system/FileAccess.h"

namespace stratovane {

namespace {

constexpr unsigned kFolderMode = 0700;
constexpr unsigned kFileMode = 0600;

bool isAbsolute(const char* path) {
  return path != nullptr && path[0] == '/';
}

}  // namespace

std::filesystem::path XdgCacheFiles::defaultFolder() {
  return defaultFolder(std::getenv("XDG_CACHE_HOME"), std::getenv("HOME"));
}

std::filesystem::path XdgCacheFiles::defaultFolder(const char* cacheHome, const char* home) {
  if (isAbsolute(cacheHome)) return std::filesystem::path(cacheHome) / "stratovane";
  // The password database's entry when HOME says nothing usable.
  const char* homeFolder = isAbsolute(home) ? home : g_get_home_dir();
  if (!isAbsolute(homeFolder)) return {};
  return std::filesystem::path(homeFolder) / ".cache" / "stratovane";
}

std::optional<std::string> XdgCacheFiles::read(std::string_view name,
                                               std::size_t maximumSize) const {
  if (folder_.empty()) return std::nullopt;
  FileContents contents = readRegularFile(folder_ / name, maximumSize, Links::refuse);
  if (contents.status != FileContents::Status::read) return std::nullopt;
  return std::move(contents.bytes);
}

bool XdgCacheFiles::write(std::string_view name, std::string_view contents) {
  if (folder_.empty()) return failed(ENOENT);
  // Something other than a folder in the way leaves errno as it was.
  errno = 0;
  if (!createDirectories(folder_, kFolderMode)) return failed(errno == 0 ? ENOTDIR : errno);
  // A link in the file's place is replaced, never followed.
  if (!replaceFileAtomically(folder_ / name, contents, kFileMode)) return failed(errno);
  return true;
}

void XdgCacheFiles::remove(std::string_view name) {
  if (!folder_.empty()) ::unlink((folder_ / name).c_str());
}

bool XdgCacheFiles::failed(int error) {
  if (!reported_.exchange(true)) {
    std::fprintf(errors_,
                 "stratovane: cannot write in %s (%s); nothing is kept for the next start\n",
                 folder_.empty() ? "the cache folder" : folder_.c_str(), std::strerror(error));
  }
  return false;
}

}  // namespace stratovane
