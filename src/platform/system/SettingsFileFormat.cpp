// The text form of the settings file: one [Settings] group of escaped key=value lines.
#include "platform/system/SettingsFileFormat.h"

#include <glib.h>

#include "platform/system/GKeyFilePtr.h"

namespace stratovane {

namespace {

constexpr const char* kGroupName = "Settings";
// Key files cannot name the empty key: they see this name in its place, a control byte, which
// no file they are given holds.
constexpr std::string_view kEmptyKeyName = "\x01";

bool isLineBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && isLineBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isLineBlank(text.back())) text.remove_suffix(1);
  return text;
}

void appendHex(std::string& out, unsigned char byte) {
  constexpr std::string_view digits = "0123456789ABCDEF";
  out += "\\x";
  out += digits[byte >> 4];
  out += digits[byte & 0x0F];
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Key files take any control byte into a value, a carriage return too; only tabs and line ends
// (CR before LF, as editors write them) belong in this file.
bool hasControlBytes(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte == '\r' && (i + 1 == text.size() || text[i + 1] == '\n')) continue;
    if ((byte < 0x20 && byte != '\t' && byte != '\n') || byte == 0x7F) return true;
  }
  return false;
}

// What key files get wrong for this file, put right before one reads it: it would merge a
// repeated group, which is refused like any other, and it cannot read the empty key's lines,
// which get a name it can. None for a repeated group.
std::optional<std::string> prepareForKeyFile(std::string_view contents) {
  std::string prepared;
  prepared.reserve(contents.size());
  int groups = 0;
  while (!contents.empty()) {
    const std::size_t end = contents.find('\n');
    const std::string_view line =
        contents.substr(0, end == std::string_view::npos ? contents.size() : end + 1);
    contents.remove_prefix(line.size());
    const std::size_t start = line.find_first_not_of(" \t");
    if (start != std::string_view::npos && line[start] == '[' && ++groups > 1) return std::nullopt;
    if (start != std::string_view::npos && line[start] == '=') {
      prepared.append(line.substr(0, start)).append(kEmptyKeyName).append(line.substr(start));
    } else {
      prepared.append(line);
    }
  }
  return prepared;
}

}  // namespace

std::string SettingsFileFormat::escape(std::string_view text, bool isKey) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == ' ' && (i == 0 || i + 1 == text.size())) {
      out += "\\s";
    } else if (byte < 0x20 || byte == 0x7F) {
      appendHex(out, byte);
    } else if (isKey && (c == '=' || c == '[' || c == ']' || (i == 0 && c == '#'))) {
      appendHex(out, byte);  // '[' and ']' would read as a key file's locale suffix
    } else if (byte >= 0x80) {
      const auto character =
          g_utf8_get_char_validated(text.data() + i, static_cast<gssize>(text.size() - i));
      if (character == static_cast<gunichar>(-1) || character == static_cast<gunichar>(-2)) {
        appendHex(out, byte);
      } else {
        const std::size_t length = static_cast<unsigned char>(g_utf8_skip[byte]);
        out.append(text.substr(i, length));
        i += length;
        continue;
      }
    } else {
      out += c;
    }
    ++i;
  }
  return out;
}

std::optional<std::string> SettingsFileFormat::unescape(std::string_view escaped) {
  std::string out;
  out.reserve(escaped.size());
  for (std::size_t i = 0; i < escaped.size(); ++i) {
    if (escaped[i] != '\\') {
      out += escaped[i];
      continue;
    }
    if (++i == escaped.size()) return std::nullopt;
    switch (escaped[i]) {
      case '\\':
        out += '\\';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      case 't':
        out += '\t';
        break;
      case 's':
        out += ' ';
        break;
      case 'x': {
        if (i + 2 >= escaped.size()) return std::nullopt;
        const int high = hexValue(escaped[i + 1]);
        const int low = hexValue(escaped[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
        break;
      }
      default:
        return std::nullopt;
    }
  }
  return out;
}

std::optional<std::map<std::string, std::string>> SettingsFileFormat::parse(
    std::string_view contents) {
  constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
  if (contents.starts_with(byteOrderMark)) contents.remove_prefix(byteOrderMark.size());
  // Key files take bytes that are not UTF-8, and end a value at a NUL byte.
  if (!g_utf8_validate(contents.data(), static_cast<gssize>(contents.size()), nullptr) ||
      hasControlBytes(contents))
    return std::nullopt;
  // A last line without its line feed keeps its carriage return in a key file.
  if (contents.ends_with('\r')) contents.remove_suffix(1);
  const std::optional<std::string> prepared = prepareForKeyFile(contents);
  if (!prepared) return std::nullopt;

  const GKeyFilePtr file(g_key_file_new());
  // Keys such as "name[de]" are kept rather than read as other languages' translations.
  if (!g_key_file_load_from_data(file.get(), prepared->data(), prepared->size(),
                                 G_KEY_FILE_KEEP_TRANSLATIONS, nullptr))
    return std::nullopt;
  std::map<std::string, std::string> entries;
  gsize groupCount = 0;
  const GStrvPtr groups(g_key_file_get_groups(file.get(), &groupCount));
  if (groupCount == 0) return entries;
  // Another group would be lost on the next save; refuse the file rather than drop it.
  if (groupCount > 1 || std::string_view(groups.get()[0]) != kGroupName) return std::nullopt;
  gsize keyCount = 0;
  const GStrvPtr keys(g_key_file_get_keys(file.get(), kGroupName, &keyCount, nullptr));
  for (gsize i = 0; i < keyCount; ++i) {
    const std::string_view name = keys.get()[i];
    const GCharPtr raw(g_key_file_get_value(file.get(), kGroupName, name.data(), nullptr));
    if (!raw) return std::nullopt;
    auto key = name == kEmptyKeyName ? std::optional<std::string>("") : unescape(name);
    auto value = unescape(trimBlanks(raw.get()));  // a key file keeps the blanks at the end
    if (!key || !value) return std::nullopt;
    entries.insert_or_assign(std::move(*key), std::move(*value));
  }
  return entries;
}

std::string SettingsFileFormat::format(const std::map<std::string, std::string>& entries) {
  const GKeyFilePtr file(g_key_file_new());
  // Read rather than built, so that a file without settings still holds its group.
  const std::string header = std::string(kGroup) + "\n";
  g_key_file_load_from_data(file.get(), header.data(), header.size(), G_KEY_FILE_NONE, nullptr);
  for (const auto& [key, value] : entries) {
    const std::string name = key.empty() ? std::string(kEmptyKeyName) : escape(key, true);
    g_key_file_set_value(file.get(), kGroupName, name.c_str(), escape(value, false).c_str());
  }
  gsize length = 0;
  const GCharPtr data(g_key_file_to_data(file.get(), &length, nullptr));
  std::string out(data ? data.get() : header.c_str(), data ? length : header.size());
  // The empty key sorts first: its line follows the group's, written as it is read.
  if (entries.contains("") && out.compare(header.size(), kEmptyKeyName.size(), kEmptyKeyName) == 0)
    out.erase(header.size(), kEmptyKeyName.size());
  return out;
}

}  // namespace stratovane
