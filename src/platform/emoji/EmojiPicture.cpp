// An emoji drawn in colour into a square PNG, with Pango and Cairo.
#include "platform/emoji/EmojiPicture.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "platform/system/GObjectPtr.h"

namespace stratovane {

namespace {

template <class T, void (*release)(T*)>
struct Releaser {
  void operator()(T* object) const { release(object); }
};
using Surface = std::unique_ptr<cairo_surface_t, Releaser<cairo_surface_t, cairo_surface_destroy>>;
using Context = std::unique_ptr<cairo_t, Releaser<cairo_t, cairo_destroy>>;
using Font = std::unique_ptr<PangoFontDescription,
                             Releaser<PangoFontDescription, pango_font_description_free>>;

}  // namespace

std::string drawEmojiPng(const std::string& emoji, int size) {
  const Surface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size));
  const Context context(cairo_create(surface.get()));
  const GObjectPtr<PangoLayout> layout(pango_cairo_create_layout(context.get()));
  const Font font(pango_font_description_from_string("Noto Color Emoji"));
  pango_font_description_set_absolute_size(font.get(), size * PANGO_SCALE);
  pango_layout_set_font_description(layout.get(), font.get());
  pango_layout_set_text(layout.get(), emoji.c_str(), static_cast<int>(emoji.size()));
  // The glyph's ink, not its line box, is centred.
  PangoRectangle ink{};
  pango_layout_get_pixel_extents(layout.get(), &ink, nullptr);
  if (ink.width <= 0 || ink.height <= 0) throw std::runtime_error("nothing to draw");
  const double scale = size * 7.0 / 8.0 / std::max(ink.width, ink.height);
  cairo_translate(context.get(), size / 2.0, size / 2.0);
  cairo_scale(context.get(), scale, scale);
  cairo_translate(context.get(), -(ink.x + ink.width / 2.0), -(ink.y + ink.height / 2.0));
  pango_cairo_show_layout(context.get(), layout.get());
  std::string png;
  const cairo_status_t status = cairo_surface_write_to_png_stream(
      surface.get(),
      [](void* closure, const unsigned char* data, unsigned int length) {
        static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
        return CAIRO_STATUS_SUCCESS;
      },
      &png);
  if (status != CAIRO_STATUS_SUCCESS) throw std::runtime_error(cairo_status_to_string(status));
  return png;
}

}  // namespace stratovane
