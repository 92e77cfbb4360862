// An on-off switch of an interface file as the application's Switch.
#pragma once

#include <gtkmm/switch.h>
#include <gtkmm/window.h>

#include <memory>
#include <utility>

#include "platform/Widgets.h"

namespace stratovane::gtk {

class GtkSwitchAdapter : public Switch {
 public:
  // `owner` is the window holding the switch, kept alive as long as this adapter.
  GtkSwitchAdapter(std::shared_ptr<Gtk::Window> owner, Gtk::Switch& widget)
      : owner_(std::move(owner)), switch_(widget) {}

  bool isOn() const override { return switch_.get_active(); }
  void setOn(bool on) override { switch_.set_active(on); }

 private:
  std::shared_ptr<Gtk::Window> owner_;
  Gtk::Switch& switch_;
};

}  // namespace stratovane::gtk
