// Windows code pages to UTF-8 through the C library's iconv.
#pragma once

#include <iconv.h>

#include <string>
#include <string_view>

namespace stratovane {

class CodePageDecoder {
 public:
  // The code page an RTF font character set (\fcharsetN) stands for; 0 when it names none and
  // the document's code page applies.
  static int codePageOfCharset(int charset);
  // Whether iconv is asked for this code page; others are read as Windows-1252.
  static bool isKnown(int codePage);

  explicit CodePageDecoder(int codePage);
  ~CodePageDecoder();
  CodePageDecoder(const CodePageDecoder&) = delete;
  CodePageDecoder& operator=(const CodePageDecoder&) = delete;
  CodePageDecoder(CodePageDecoder&& other) noexcept;
  CodePageDecoder& operator=(CodePageDecoder&& other) noexcept;

  // Appends the UTF-8 of `bytes` to `out`; bytes the code page does not define become U+FFFD.
  void decode(std::string_view bytes, std::string& out);

 private:
  iconv_t handle_;
};

}  // namespace stratovane
