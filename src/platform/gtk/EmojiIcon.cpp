// The emoji at the start of the title, drawn as the panel item's icon.
#include "platform/gtk/EmojiIcon.h"

#include <cairomm/context.h>
#include <cairomm/surface.h>
#include <glib.h>
#include <glibmm/fileutils.h>
#include <glibmm/miscutils.h>
#include <pangomm/layout.h>
#include <unicode/brkiter.h>
#include <unicode/uchar.h>
#include <unicode/utext.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <memory>
#include <stdexcept>

#include "platform/Translation.h"

namespace stratovane::gtk {

namespace {

struct UTextClose {
  void operator()(UText* text) const { utext_close(text); }
};

// The emoji's code points make the name: hosts cache icons by name, so each emoji has its own.
std::string iconName(const std::string& emoji) {
  std::string name = "stratovane-emoji";
  for (const char* point = emoji.c_str(); *point != '\0'; point = g_utf8_next_char(point)) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "-%04x", static_cast<unsigned>(g_utf8_get_char(point)));
    name += hex;
  }
  return name;
}

void draw(const std::string& emoji, const std::string& path) {
  const auto surface =
      Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, EmojiIcon::kSize, EmojiIcon::kSize);
  const auto context = Cairo::Context::create(surface);
  const auto layout = Pango::Layout::create(context);
  Pango::FontDescription font("Noto Color Emoji");
  font.set_absolute_size(EmojiIcon::kSize * Pango::SCALE);
  layout->set_font_description(font);
  layout->set_text(emoji);
  // The glyph's ink, not its line box, is centred.
  const Pango::Rectangle ink = layout->get_pixel_ink_extents();
  if (ink.get_width() <= 0 || ink.get_height() <= 0) throw std::runtime_error("nothing to draw");
  // A small margin, as icons have: hosts that fill their height with it match the label better.
  const double scale = EmojiIcon::kSize * 7.0 / 8.0 / std::max(ink.get_width(), ink.get_height());
  context->translate(EmojiIcon::kSize / 2.0, EmojiIcon::kSize / 2.0);
  context->scale(scale, scale);
  context->translate(-(ink.get_x() + ink.get_width() / 2.0),
                     -(ink.get_y() + ink.get_height() / 2.0));
  layout->show_in_cairo_context(context);
  std::string png;
  surface->write_to_png_stream([&png](const unsigned char* data, unsigned int length) {
    png.append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
  });
  // Written whole and renamed into place: a host reading it at this moment sees a full file.
  Glib::file_set_contents(path, png.data(), static_cast<gssize>(png.size()));
}

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

const std::string& EmojiIcon::iconForEmoji(const std::string& emoji) {
  if (emoji.empty() || emoji == emoji_ || folder_.empty()) return path_;
  const std::string path = Glib::build_filename(folder_, iconName(emoji) + ".png");
  try {
    draw(emoji, path);
    emoji_ = emoji;
    path_ = path;
  } catch (const Glib::Error& error) {
    std::fprintf(stderr, tr("stratovane: cannot draw the panel icon: %s\n"), error.what().c_str());
  } catch (const std::exception& error) {
    std::fprintf(stderr, tr("stratovane: cannot draw the panel icon: %s\n"), error.what());
  }
  return path_;
}

}  // namespace stratovane::gtk
