// Careful file reading and atomic replacement for files that must never be half written.
#include "platform/system/FileAccess.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/system/FileDescriptor.h"

namespace stratovane {

namespace {

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Gives a new file its mode (whatever the umask took away), its contents, and flushes them to
// the disk before closing it.
bool fill(FileDescriptor& fd, std::string_view contents, unsigned mode) {
  return ::fchmod(fd.get(), mode) == 0 && writeAll(fd.get(), contents) && ::fsync(fd.get()) == 0 &&
         fd.close();
}

// Removes a file left unfinished, keeping errno for the caller's report.
void removeUnfinished(const std::filesystem::path& path) {
  const int error = errno;
  ::unlink(path.c_str());
  errno = error;
}

// Makes a rename durable; failure here does not undo the rename, so it is not an error.
void syncDirectory(const std::filesystem::path& directory) {
  FileDescriptor fd(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd) ::fsync(fd.get());
}

}  // namespace

FileContents readRegularFile(const std::filesystem::path& path, std::size_t maximumSize,
                             Links links) {
  FileContents result;
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
  const int noFollow = links == Links::refuse ? O_NOFOLLOW : 0;
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | noFollow));
  if (!fd) {
    result.error = errno;
    if (errno == ELOOP && links == Links::refuse) {
      result.status = FileContents::Status::notRegular;
      return result;
    }
    result.status =
        errno == ENOENT ? FileContents::Status::missing : FileContents::Status::unreadable;
    return result;
  }
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) {
    result.error = errno;
    result.status = FileContents::Status::unreadable;
    return result;
  }
  if (!S_ISREG(info.st_mode)) {
    result.status = FileContents::Status::notRegular;
    return result;
  }
  // The size may change while reading; the limit is checked against what actually arrives.
  std::string bytes;
  char buffer[16384];
  for (;;) {
    const ssize_t count = ::read(fd.get(), buffer, sizeof buffer);
    if (count < 0) {
      if (errno == EINTR) continue;
      result.error = errno;
      result.status = FileContents::Status::unreadable;
      return result;
    }
    if (count == 0) break;
    if (bytes.size() + static_cast<std::size_t>(count) > maximumSize) {
      result.status = FileContents::Status::tooLarge;
      return result;
    }
    bytes.append(buffer, static_cast<std::size_t>(count));
  }
  result.status = FileContents::Status::read;
  result.bytes = std::move(bytes);
  return result;
}

bool createDirectories(const std::filesystem::path& directory, unsigned mode) {
  if (directory.empty()) return true;
  struct stat info {};
  if (::stat(directory.c_str(), &info) == 0) return S_ISDIR(info.st_mode);
  if (errno != ENOENT) return false;
  const std::filesystem::path parent = directory.parent_path();
  if (parent != directory && !createDirectories(parent, mode)) return false;
  if (::mkdir(directory.c_str(), mode) != 0) return errno == EEXIST;
  // The umask may have taken bits away; the mode asked for is the one wanted.
  ::chmod(directory.c_str(), mode);
  return true;
}

bool replaceFileAtomically(const std::filesystem::path& path, std::string_view contents,
                           unsigned mode) {
  std::string temporary = path.string() + ".tmp-XXXXXX";
  FileDescriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
  if (!fd) return false;
  if (!fill(fd, contents, mode) || ::rename(temporary.c_str(), path.c_str()) != 0) {
    removeUnfinished(temporary);
    return false;
  }
  syncDirectory(path.parent_path().empty() ? std::filesystem::path(".") : path.parent_path());
  return true;
}

std::filesystem::path writeNewFile(const std::filesystem::path& path, std::string_view contents,
                                   unsigned mode) {
  for (int attempt = 1; attempt <= 100; ++attempt) {
    std::filesystem::path target = path;
    // Appended in two steps: GCC 12 at -O3 warns falsely about "-" + to_string().
    if (attempt > 1) {
      target += "-";
      target += std::to_string(attempt);
    }
    FileDescriptor fd(
        ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode));
    if (!fd) {
      if (errno == EEXIST) continue;
      return {};
    }
    if (fill(fd, contents, mode)) return target;
    removeUnfinished(target);
    return {};
  }
  errno = EEXIST;
  return {};
}

}  // namespace stratovane
