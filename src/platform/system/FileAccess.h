// Careful file reading and atomic replacement for files that must never be half written.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace stratovane {

struct FileContents {
  enum class Status {
    read,        // `bytes` holds the whole file
    missing,     // no file by that name
    notRegular,  // a directory, device, FIFO or socket: never opened for reading
    tooLarge,    // larger than the limit
    unreadable,  // exists but could not be read (permission, I/O error); `error` says why
  };
  Status status = Status::missing;
  std::string bytes;
  int error = 0;
};

enum class Links { follow, refuse };

// Reads a regular file without blocking on FIFOs or following a path into a device. With
// Links::refuse a file that is a symbolic link counts as notRegular.
FileContents readRegularFile(const std::filesystem::path& path, std::size_t maximumSize,
                             Links links = Links::follow);

// Creates the missing directories of `directory` with the given mode; existing ones keep
// theirs. False when a directory could not be created.
bool createDirectories(const std::filesystem::path& directory, unsigned mode);

// Writes `contents` to a new file beside `path`, flushes it to the disk and renames it over
// `path`, so that readers see the old or the new file, never a mix. The temporary file is
// removed on failure. The new file has exactly the given mode.
bool replaceFileAtomically(const std::filesystem::path& path, std::string_view contents,
                           unsigned mode);

// Writes `contents` to a new file `path`, or `path` followed by "-2", "-3", ... when that name
// is taken, never replacing an existing file, and flushes it to the disk. Returns the name used,
// or an empty path on failure (with errno set).
std::filesystem::path writeNewFile(const std::filesystem::path& path, std::string_view contents,
                                   unsigned mode);

}  // namespace stratovane
