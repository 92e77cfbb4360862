// A push button of an interface file as the application's Button.
#include "platform/gtk/GtkButtonAdapter.h"

#include <utility>

#include "platform/gtk/GuardedAction.h"

namespace stratovane::gtk {

GtkButtonAdapter::GtkButtonAdapter(std::shared_ptr<Gtk::Window> owner, Gtk::Button& button)
    : owner_(std::move(owner)), button_(button) {
  clicked_ = button_.signal_clicked().connect([this] { runGuarded(action_); });
}

GtkButtonAdapter::~GtkButtonAdapter() {
  clicked_.disconnect();
  // The spinner goes with this adapter; the button must not keep showing it.
  if (button_.get_image() == &spinner_) gtk_button_set_image(button_.gobj(), nullptr);
}

void GtkButtonAdapter::setBusy(bool busy) {
  button_.set_sensitive(!busy);
  if (busy) {
    button_.set_image(spinner_);
    button_.set_always_show_image(true);
    spinner_.start();
    spinner_.show();
  } else {
    spinner_.stop();
    gtk_button_set_image(button_.gobj(), nullptr);
  }
}

}  // namespace stratovane::gtk
