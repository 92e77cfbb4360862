// The text form of the settings file: one [Settings] group of escaped key=value lines.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace stratovane {

// The file is UTF-8 text, read and written through GLib's key files:
//
//   [Settings]
//   apiKey=0123abcd
//   latitude=59.4040015148249
//
// Keys and values are escaped so that any byte string round-trips: \\ \n \r \t, \s for a
// blank at either end (blanks there are otherwise trimmed), and \xHH for other control bytes
// and bytes that are not UTF-8. Keys also escape '=', '[' and ']' and a leading '#'; the empty
// key is written "=value". Blank lines and lines starting with '#' are skipped on reading (and
// not kept). Anything else makes the whole file unreadable: a line without '=', an unknown
// escape, a key name a key file cannot hold, a group other than one [Settings] before the first
// key, a control byte other than a tab or a line end, invalid UTF-8 or a NUL byte.
class SettingsFileFormat {
 public:
  static std::string escape(std::string_view text, bool isKey);
  static std::optional<std::string> unescape(std::string_view escaped);

  // None when the contents are not a settings file. A file with nothing but blank and comment
  // lines holds no settings.
  static std::optional<std::map<std::string, std::string>> parse(std::string_view contents);
  static std::string format(const std::map<std::string, std::string>& entries);

  static constexpr std::string_view kGroup = "[Settings]";
};

}  // namespace stratovane
