// A label of an interface file as the application's TextFieldCell.
#pragma once

#include <gtkmm/label.h>
#include <gtkmm/window.h>

#include <memory>
#include <string>
#include <utility>

#include "platform/Widgets.h"

namespace stratovane::gtk {

class GtkLabelCell : public TextFieldCell {
 public:
  // `owner` is the window holding the label, kept alive as long as this cell.
  GtkLabelCell(std::shared_ptr<Gtk::Window> owner, Gtk::Label& label)
      : owner_(std::move(owner)), label_(label) {}

  void setTitle(const std::string& title) override { label_.set_text(title); }
  std::string title() const override { return label_.get_text(); }

 private:
  std::shared_ptr<Gtk::Window> owner_;
  Gtk::Label& label_;
};

}  // namespace stratovane::gtk
