// A view of an interface file (a window's content or a popover) as the application's View.
#pragma once

#include <gtkmm/widget.h>
#include <gtkmm/window.h>

#include <memory>
#include <utility>

#include "platform/Widgets.h"

namespace stratovane::gtk {

class GtkViewAdapter : public View {
 public:
  // `owner` is the window holding the view, kept alive as long as this adapter.
  GtkViewAdapter(std::shared_ptr<Gtk::Window> owner, Gtk::Widget& widget)
      : owner_(std::move(owner)), widget_(widget) {}

  // A popover pops down; any other view closes its window.
  void dismiss() override;

  Gtk::Window& window() { return *owner_; }

 private:
  std::shared_ptr<Gtk::Window> owner_;
  Gtk::Widget& widget_;
};

}  // namespace stratovane::gtk
