// A window of an interface file as the application's Window.
#pragma once

#include <gtkmm/window.h>

#include <memory>

#include "platform/Widgets.h"

namespace stratovane::gtk {

class GtkWindowAdapter : public Window {
 public:
  // Closing, also from the window manager's close button, only hides the window for reuse.
  explicit GtkWindowAdapter(std::shared_ptr<Gtk::Window> window);

  void show() override;
  void close() override { window_->hide(); }
  bool isVisible() const override { return window_->get_visible(); }
  void center() override;
  void orderFrontRegardless() override;

  Gtk::Window& widget() { return *window_; }

 private:
  std::shared_ptr<Gtk::Window> window_;
};

}  // namespace stratovane::gtk
