// A text view of an interface file as the application's TextView.
#pragma once

#include <gtkmm/textview.h>
#include <gtkmm/window.h>

#include <cstddef>
#include <memory>
#include <string>
#include <utility>

#include "platform/Widgets.h"

namespace stratovane::gtk {

class GtkTextViewAdapter : public TextView {
 public:
  // `owner` is the window holding the view, kept alive as long as this adapter.
  GtkTextViewAdapter(std::shared_ptr<Gtk::Window> owner, Gtk::TextView& view)
      : owner_(std::move(owner)), view_(view) {}

  void setEditable(bool editable) override { view_.set_editable(editable); }
  bool isEditable() const override { return view_.get_editable(); }
  void selectAll() override;
  void insertText(const std::string& text) override;
  void moveToBeginningOfDocument() override;
  // Each distinct set of attributes becomes one named tag of the buffer, reused on every append.
  void appendAttributedString(const AttributedString& text) override;
  std::string string() const override;
  std::size_t insertionPoint() const override;

 private:
  std::shared_ptr<Gtk::Window> owner_;
  Gtk::TextView& view_;
};

}  // namespace stratovane::gtk
