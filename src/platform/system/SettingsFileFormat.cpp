// The text form of the settings file: one [Settings] group of escaped key=value lines.
#include "platform/system/SettingsFileFormat.h"

namespace stratovane {

namespace {

// Length of the well-formed UTF-8 sequence at `at` (no overlong forms, surrogates or values
// above U+10FFFF), or 0.
std::size_t utf8SequenceLength(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  if (byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return 0;
  }
  return length;
}

bool isValidText(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] == '\0') return false;
    const std::size_t length = utf8SequenceLength(text, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

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
    } else if (isKey && (c == '=' || (i == 0 && (c == '[' || c == '#')))) {
      appendHex(out, byte);
    } else if (const std::size_t length = utf8SequenceLength(text, i); length > 1) {
      out.append(text.substr(i, length));
      i += length;
      continue;
    } else if (length == 0) {
      appendHex(out, byte);
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
  if (!isValidText(contents)) return std::nullopt;

  std::map<std::string, std::string> entries;
  bool inGroup = false;
  while (!contents.empty()) {
    const std::size_t end = contents.find('\n');
    std::string_view line = contents.substr(0, end);
    contents.remove_prefix(end == std::string_view::npos ? contents.size() : end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);  // written by an editor, never by us
    line = trimBlanks(line);
    if (line.empty() || line.front() == '#') continue;
    for (const char c : line) {
      const auto byte = static_cast<unsigned char>(c);
      if ((byte < 0x20 && c != '\t') || byte == 0x7F) return std::nullopt;
    }
    if (line.front() == '[') {
      // Another group would be lost on the next save; refuse the file rather than drop it.
      if (inGroup || line != kGroup) return std::nullopt;
      inGroup = true;
      continue;
    }
    const std::size_t separator = line.find('=');
    if (!inGroup || separator == std::string_view::npos) return std::nullopt;
    auto key = unescape(trimBlanks(line.substr(0, separator)));
    auto value = unescape(trimBlanks(line.substr(separator + 1)));
    if (!key || !value) return std::nullopt;
    entries.insert_or_assign(std::move(*key), std::move(*value));
  }
  return entries;
}

std::string SettingsFileFormat::format(const std::map<std::string, std::string>& entries) {
  std::string out(kGroup);
  out += '\n';
  for (const auto& [key, value] : entries) {
    out += escape(key, true);
    out += '=';
    out += escape(value, false);
    out += '\n';
  }
  return out;
}

}  // namespace stratovane
