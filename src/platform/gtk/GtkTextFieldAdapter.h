// A one-line entry of an interface file as the application's TextField.
#pragma once

#include <gtkmm/entry.h>
#include <gtkmm/window.h>

#include <memory>
#include <string>
#include <utility>

#include "platform/Widgets.h"

namespace stratovane::gtk {

class GtkTextFieldAdapter : public TextField {
 public:
  // `owner` is the window holding the entry, kept alive as long as this field.
  GtkTextFieldAdapter(std::shared_ptr<Gtk::Window> owner, Gtk::Entry& entry)
      : owner_(std::move(owner)), entry_(entry) {}

  std::string stringValue() const override { return entry_.get_text(); }
  void setStringValue(const std::string& value) override { entry_.set_text(value); }

 private:
  std::shared_ptr<Gtk::Window> owner_;
  Gtk::Entry& entry_;
};

}  // namespace stratovane::gtk
