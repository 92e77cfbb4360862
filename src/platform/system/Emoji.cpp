// The emoji a title starts with, and the name of the icon file it is drawn into.
#include "platform/system/Emoji.h"

#include <glib.h>
#include <unicode/brkiter.h>
#include <unicode/uchar.h>
#include <unicode/utext.h>

#include <cstdio>
#include <memory>

namespace stratovane {

namespace {

struct UTextClose {
  void operator()(UText* text) const { utext_close(text); }
};

}  // namespace

std::string leadingEmoji(std::string_view title) {
  UErrorCode status = U_ZERO_ERROR;
  const std::unique_ptr<UText, UTextClose> text(
      utext_openUTF8(nullptr, title.data(), static_cast<int64_t>(title.size()), &status));
  if (U_FAILURE(status)) return {};
  const UChar32 first = utext_char32At(text.get(), 0);
  if (first < 0 || !u_hasBinaryProperty(first, UCHAR_EXTENDED_PICTOGRAPHIC)) return {};
  const std::unique_ptr<icu::BreakIterator> graphemes(
      icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
  if (U_FAILURE(status)) return {};
  graphemes->setText(text.get(), status);
  const int32_t end = graphemes->following(0);
  if (U_FAILURE(status) || end <= 0) return {};
  return std::string(title.substr(0, static_cast<std::size_t>(end)));
}

std::string emojiIconFileName(std::string_view emoji) {
  std::string name = "stratovane-emoji";
  const gchar* point = emoji.data();
  const gchar* const end = point + emoji.size();
  while (point != nullptr && point < end) {
    const gunichar code = g_utf8_get_char_validated(point, end - point);
    if (code >= static_cast<gunichar>(-2)) break;  // cut off or not UTF-8
    char hex[16];
    std::snprintf(hex, sizeof hex, "-%04x", static_cast<unsigned>(code));
    name += hex;
    point = g_utf8_find_next_char(point, end);
  }
  return name + ".png";
}

}  // namespace stratovane
