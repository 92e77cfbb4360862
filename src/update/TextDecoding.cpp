// Turning the bytes of a downloaded text into UTF-8 by the charset its server names.
#include "update/TextDecoding.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

#include "json/Utf8.h"

namespace stratovane {

namespace {

char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::string_view trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

std::string latin1ToUTF8(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      text.push_back(c);
    } else {
      text.push_back(static_cast<char>(0xC0 | (byte >> 6)));
      text.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
  }
  return text;
}

class Iconv {
 public:
  Iconv(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~Iconv() {
    if (*this) iconv_close(handle_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  explicit operator bool() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return handle_; }

 private:
  iconv_t handle_;
};

std::optional<std::string> convertToUTF8(std::string_view bytes, const std::string& charset) {
  const Iconv converter("UTF-8", charset.c_str());
  if (!converter) return std::nullopt;
  std::string input(bytes);
  char* in = input.data();
  std::size_t inLeft = input.size();
  std::string text;
  std::vector<char> chunk(4096);
  // Passes once more with no input to flush a stateful charset's closing sequence.
  for (bool flushing = false;;) {
    char* out = chunk.data();
    std::size_t outLeft = chunk.size();
    const std::size_t result = iconv(converter.get(), flushing ? nullptr : &in,
                                     flushing ? nullptr : &inLeft, &out, &outLeft);
    text.append(chunk.data(), chunk.size() - outLeft);
    if (result == static_cast<std::size_t>(-1)) {
      if (errno != E2BIG) return std::nullopt;  // invalid or cut-short input
      continue;
    }
    if (flushing) break;
    flushing = true;
  }
  if (!detail::isValidUTF8(text)) return std::nullopt;
  return text;
}

}  // namespace

std::string charsetOf(std::string_view contentType) {
  std::size_t semicolon = contentType.find(';');
  while (semicolon != std::string_view::npos) {
    contentType.remove_prefix(semicolon + 1);
    semicolon = contentType.find(';');
    const std::string_view parameter = contentType.substr(0, semicolon);
    const std::size_t equals = parameter.find('=');
    if (equals == std::string_view::npos) continue;
    if (!equalsIgnoringCase(trimmed(parameter.substr(0, equals)), "charset")) continue;
    std::string_view value = trimmed(parameter.substr(equals + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
  }
  return {};
}

std::optional<std::string> decodeText(std::string_view bytes, std::string_view contentType) {
  const std::string charset = charsetOf(contentType);
  if (charset.empty()) {
    if (detail::isValidUTF8(bytes)) return std::string(bytes);
    return latin1ToUTF8(bytes);
  }
  if (equalsIgnoringCase(charset, "utf-8") || equalsIgnoringCase(charset, "utf8")) {
    if (detail::isValidUTF8(bytes)) return std::string(bytes);
    return std::nullopt;
  }
  return convertToUTF8(bytes, charset);
}

}  // namespace stratovane
