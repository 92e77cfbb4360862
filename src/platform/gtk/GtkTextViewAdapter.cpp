// A text view of an interface file as the application's TextView.
#include "platform/gtk/GtkTextViewAdapter.h"

#include <glib.h>
#include <gtkmm/adjustment.h>
#include <pango/pango.h>

#include <cstdio>

namespace stratovane::gtk {

namespace {

std::string tagName(const TextAttributes& attributes) {
  char name[128];
  const TextColor color = attributes.foreground.value_or(TextColor{});
  std::snprintf(name, sizeof name, "stratovane-run:%d%d%d%d:%d:%02x%02x%02x:%g:%d:%d",
                attributes.bold, attributes.italic, attributes.underline, attributes.strikethrough,
                attributes.foreground.has_value(), color.red, color.green, color.blue,
                attributes.fontSize, attributes.baselineShift,
                static_cast<int>(attributes.alignment));
  return name;
}

Glib::RefPtr<Gtk::TextTag> tagFor(const Glib::RefPtr<Gtk::TextBuffer>& buffer,
                                  const TextAttributes& attributes) {
  const std::string name = tagName(attributes);
  const Glib::RefPtr<Gtk::TextTagTable> table = buffer->get_tag_table();
  if (Glib::RefPtr<Gtk::TextTag> tag = table->lookup(name)) return tag;
  Glib::RefPtr<Gtk::TextTag> tag = Gtk::TextTag::create(name);
  if (attributes.bold) tag->property_weight() = Pango::WEIGHT_BOLD;
  if (attributes.italic) tag->property_style() = Pango::STYLE_ITALIC;
  if (attributes.underline) tag->property_underline() = Pango::UNDERLINE_SINGLE;
  if (attributes.strikethrough) tag->property_strikethrough() = true;
  if (const std::optional<TextColor> color = attributes.foreground) {
    Gdk::RGBA rgba;
    rgba.set_rgba_u(static_cast<gushort>(color->red * 257),
                    static_cast<gushort>(color->green * 257),
                    static_cast<gushort>(color->blue * 257));
    tag->property_foreground_rgba() = rgba;
  }
  if (attributes.fontSize > 0) tag->property_size_points() = attributes.fontSize;
  if (attributes.baselineShift != 0) {
    // Only the direction is known: a third of a line up or down, in smaller type, as word
    // processors draw it.
    tag->property_rise() = (attributes.baselineShift > 0 ? 4 : -3) * PANGO_SCALE;
    tag->property_scale() = PANGO_SCALE_SMALL;
  }
  // GTK takes a paragraph's justification from the tags of its first character.
  switch (attributes.alignment) {
    case TextAlignment::left:
      break;
    case TextAlignment::right:
      tag->property_justification() = Gtk::JUSTIFY_RIGHT;
      break;
    case TextAlignment::center:
      tag->property_justification() = Gtk::JUSTIFY_CENTER;
      break;
    case TextAlignment::justified:
      tag->property_justification() = Gtk::JUSTIFY_FILL;
      break;
  }
  table->add(tag);
  return tag;
}

}  // namespace

void GtkTextViewAdapter::selectAll() {
  const Glib::RefPtr<Gtk::TextBuffer> buffer = view_.get_buffer();
  buffer->select_range(buffer->begin(), buffer->end());
}

void GtkTextViewAdapter::insertText(const std::string& text) {
  const Glib::RefPtr<Gtk::TextBuffer> buffer = view_.get_buffer();
  // The interactive calls are those of typing: both refuse while the view is not editable.
  const bool editable = view_.get_editable();
  buffer->begin_user_action();
  buffer->erase_selection(true, editable);
  buffer->insert_interactive_at_cursor(text, editable);
  buffer->end_user_action();
}

void GtkTextViewAdapter::moveToBeginningOfDocument() {
  const Glib::RefPtr<Gtk::TextBuffer> buffer = view_.get_buffer();
  buffer->place_cursor(buffer->begin());
  // As in typing, the view follows the insertion point: to the very top, margin included.
  if (const Glib::RefPtr<Gtk::Adjustment> vertical = view_.get_vadjustment())
    vertical->set_value(vertical->get_lower());
}

void GtkTextViewAdapter::appendAttributedString(const AttributedString& text) {
  const Glib::RefPtr<Gtk::TextBuffer> buffer = view_.get_buffer();
  const std::string& string = text.string;
  if (!g_utf8_validate(string.data(), static_cast<gssize>(string.size()), nullptr)) {
    // The buffer takes only UTF-8; runs of a broken text cannot be trusted either.
    gchar* valid = g_utf8_make_valid(string.data(), static_cast<gssize>(string.size()));
    buffer->insert(buffer->end(), valid);
    g_free(valid);
    return;
  }
  const auto onBoundary = [&](std::size_t offset) {
    return offset == string.size() || (static_cast<unsigned char>(string[offset]) & 0xC0) != 0x80;
  };
  Gtk::TextIter end = buffer->end();
  std::size_t written = 0;
  for (const AttributeRun& run : text.runs) {
    // Runs out of order, out of range or inside a character are left plain.
    if (run.start < written || run.start > string.size() ||
        run.length > string.size() - run.start || !onBoundary(run.start) ||
        !onBoundary(run.start + run.length)) {
      continue;
    }
    const char* data = string.data();
    end = buffer->insert(end, data + written, data + run.start);
    end = buffer->insert_with_tag(end, string.substr(run.start, run.length),
                                  tagFor(buffer, run.attributes));
    written = run.start + run.length;
  }
  buffer->insert(end, string.data() + written, string.data() + string.size());
}

std::string GtkTextViewAdapter::string() const {
  return view_.get_buffer()->get_text(true);
}

std::size_t GtkTextViewAdapter::insertionPoint() const {
  return static_cast<std::size_t>(view_.get_buffer()->get_insert()->get_iter().get_offset());
}

}  // namespace stratovane::gtk
