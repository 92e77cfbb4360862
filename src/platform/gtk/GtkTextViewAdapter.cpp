// A text view of an interface file as the application's TextView.
#include "platform/gtk/GtkTextViewAdapter.h"

#include <gtkmm/adjustment.h>

namespace stratovane::gtk {

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

std::string GtkTextViewAdapter::string() const {
  return view_.get_buffer()->get_text(true);
}

std::size_t GtkTextViewAdapter::insertionPoint() const {
  return static_cast<std::size_t>(view_.get_buffer()->get_insert()->get_iter().get_offset());
}

}  // namespace stratovane::gtk
