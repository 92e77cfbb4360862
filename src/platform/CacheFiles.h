// Small files kept between runs in the user's cache folder, each replaced whole.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace stratovane {

// Any thread may call these; a file written by another process at the same moment is read whole,
// old or new.
class CacheFiles {
 public:
  virtual ~CacheFiles() = default;
  // The file's bytes; none when it is missing, a link, not a regular file, larger than
  // `maximumSize` or unreadable.
  virtual std::optional<std::string> read(std::string_view name, std::size_t maximumSize) const = 0;
  // Replaces the file whole, readable by the user alone; false when it cannot be written.
  virtual bool write(std::string_view name, std::string_view contents) = 0;
  virtual void remove(std::string_view name) = 0;
};

}  // namespace stratovane
