// A push button of an interface file as the application's Button.
#pragma once

#include <gtkmm/button.h>
#include <gtkmm/spinner.h>
#include <gtkmm/window.h>

#include <functional>
#include <memory>

#include "platform/Widgets.h"

namespace stratovane::gtk {

// Busy, the button turns insensitive and shows a spinning image beside its label.
class GtkButtonAdapter : public Button {
 public:
  GtkButtonAdapter(std::shared_ptr<Gtk::Window> owner, Gtk::Button& button);
  ~GtkButtonAdapter() override;

  void setHidden(bool hidden) override { button_.set_visible(!hidden); }
  void setBusy(bool busy) override;
  void setAction(std::function<void()> action) override { action_ = std::move(action); }

 private:
  std::shared_ptr<Gtk::Window> owner_;
  Gtk::Button& button_;
  Gtk::Spinner spinner_;
  std::function<void()> action_;
  sigc::connection clicked_;
};

}  // namespace stratovane::gtk
