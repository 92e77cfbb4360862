// A scrolled window of an interface file as the application's ScrollView.
#pragma once

#include <gtkmm/scrolledwindow.h>
#include <gtkmm/window.h>

#include <memory>
#include <utility>

#include "platform/Widgets.h"

namespace stratovane::gtk {

class GtkScrollViewAdapter : public ScrollView {
 public:
  // `owner` is the window holding the scrolled window, kept alive as long as this adapter.
  GtkScrollViewAdapter(std::shared_ptr<Gtk::Window> owner, Gtk::ScrolledWindow& scrolled)
      : owner_(std::move(owner)), scrolled_(scrolled) {}

  // The text view inside; none when the scrolled window holds something else.
  std::shared_ptr<TextView> documentView() override;

 private:
  std::shared_ptr<Gtk::Window> owner_;
  Gtk::ScrolledWindow& scrolled_;
};

}  // namespace stratovane::gtk
