// Windows code pages to UTF-8 through the C library's iconv.
#include "rtf/CodePageDecoder.h"

#include <array>
#include <cerrno>
#include <utility>

namespace stratovane {
namespace {

const iconv_t noHandle = reinterpret_cast<iconv_t>(-1);
constexpr std::string_view replacement = "\xEF\xBF\xBD";

struct CodePageName {
  int codePage;
  const char* name;
};

// Only these names reach iconv_open, so a document cannot make us open arbitrary converters.
constexpr std::array<CodePageName, 46> codePageNames{{
    {437, "CP437"},         {737, "CP737"},        {775, "CP775"},        {850, "CP850"},
    {852, "CP852"},         {855, "CP855"},        {857, "CP857"},        {860, "CP860"},
    {861, "CP861"},         {862, "CP862"},        {863, "CP863"},        {864, "CP864"},
    {865, "CP865"},         {866, "CP866"},        {869, "CP869"},        {874, "CP874"},
    {932, "CP932"},         {936, "CP936"},        {949, "CP949"},        {950, "CP950"},
    {1250, "CP1250"},       {1251, "CP1251"},      {1252, "CP1252"},      {1253, "CP1253"},
    {1254, "CP1254"},       {1255, "CP1255"},      {1256, "CP1256"},      {1257, "CP1257"},
    {1258, "CP1258"},       {1361, "JOHAB"},       {10000, "MACINTOSH"},  {10007, "MAC-CYRILLIC"},
    {20127, "US-ASCII"},    {20866, "KOI8-R"},     {20932, "EUC-JP"},     {21866, "KOI8-U"},
    {28591, "ISO-8859-1"},  {28592, "ISO-8859-2"}, {28595, "ISO-8859-5"}, {28597, "ISO-8859-7"},
    {28605, "ISO-8859-15"}, {51932, "EUC-JP"},     {51936, "EUC-CN"},     {51949, "EUC-KR"},
    {54936, "GB18030"},     {65001, "UTF-8"},
}};

const char* iconvName(int codePage) {
  for (const auto& entry : codePageNames) {
    if (entry.codePage == codePage) return entry.name;
  }
  return nullptr;
}

}  // namespace

int CodePageDecoder::codePageOfCharset(int charset) {
  switch (charset) {
    case 77:
      return 10000;
    case 128:
      return 932;
    case 129:
      return 949;
    case 130:
      return 1361;
    case 134:
      return 936;
    case 136:
      return 950;
    case 161:
      return 1253;
    case 162:
      return 1254;
    case 163:
      return 1258;
    case 177:
      return 1255;
    case 178:
      return 1256;
    case 186:
      return 1257;
    case 204:
      return 1251;
    case 222:
      return 874;
    case 238:
      return 1250;
    case 254:
      return 437;
    case 255:
      return 850;
    default:
      return 0;
  }
}

bool CodePageDecoder::isKnown(int codePage) {
  return iconvName(codePage) != nullptr;
}

CodePageDecoder::CodePageDecoder(int codePage) {
  const char* name = iconvName(codePage);
  handle_ = iconv_open("UTF-8", name != nullptr ? name : "CP1252");
  if (handle_ == noHandle && name != nullptr) handle_ = iconv_open("UTF-8", "CP1252");
}

CodePageDecoder::~CodePageDecoder() {
  if (handle_ != noHandle) iconv_close(handle_);
}

CodePageDecoder::CodePageDecoder(CodePageDecoder&& other) noexcept
    : handle_(std::exchange(other.handle_, noHandle)) {}

CodePageDecoder& CodePageDecoder::operator=(CodePageDecoder&& other) noexcept {
  std::swap(handle_, other.handle_);
  return *this;
}

void CodePageDecoder::decode(std::string_view bytes, std::string& out) {
  if (handle_ == noHandle) {
    // Without converters, ASCII is still ASCII.
    for (const char byte : bytes) {
      if (static_cast<unsigned char>(byte) < 0x80) {
        out += byte;
      } else {
        out += replacement;
      }
    }
    return;
  }
  iconv(handle_, nullptr, nullptr, nullptr, nullptr);
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  std::array<char, 512> buffer{};
  bool flushing = false;
  while (true) {
    char* outPointer = buffer.data();
    std::size_t outLeft = buffer.size();
    // A last call with no input writes what stateful converters (1255, 1258) still hold.
    const std::size_t result = flushing ? iconv(handle_, nullptr, nullptr, &outPointer, &outLeft)
                                        : iconv(handle_, &in, &inLeft, &outPointer, &outLeft);
    const int error = errno;
    out.append(buffer.data(), static_cast<std::size_t>(outPointer - buffer.data()));
    if (result == static_cast<std::size_t>(-1)) {
      if (error == E2BIG) continue;
      if (flushing) return;
      out += replacement;
      if (error == EILSEQ && inLeft > 0) {
        ++in;
        --inLeft;
        continue;
      }
      // A sequence cut short by the end, or a failure iconv does not name: nothing more to read.
      iconv(handle_, nullptr, nullptr, nullptr, nullptr);
      return;
    }
    if (flushing) return;
    if (inLeft == 0) flushing = true;
  }
}

}  // namespace stratovane
