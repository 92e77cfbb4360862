// A window of an interface file as the application's Window.
#include "platform/gtk/GtkWindowAdapter.h"

#include <gdkmm/display.h>
#include <gdkmm/monitor.h>

#include <utility>

namespace stratovane::gtk {

GtkWindowAdapter::GtkWindowAdapter(std::shared_ptr<Gtk::Window> window)
    : window_(std::move(window)) {
  Gtk::Window* widget = window_.get();
  window_->signal_delete_event().connect([widget](GdkEventAny*) {
    widget->hide();
    return true;  // keeps the window from being destroyed
  });
}

void GtkWindowAdapter::show() {
  window_->show();
  // A window minimised by the user comes back when asked for again.
  window_->deiconify();
}

void GtkWindowAdapter::center() {
  // Takes effect when the window is next mapped.
  window_->set_position(Gtk::WIN_POS_CENTER);
  const Glib::RefPtr<Gdk::Window> surface = window_->get_window();
  if (!window_->get_visible() || !surface) return;
  // A window already on screen is moved explicitly to the middle of its monitor's work area.
  const Glib::RefPtr<Gdk::Monitor> monitor = window_->get_display()->get_monitor_at_window(surface);
  if (!monitor) return;
  Gdk::Rectangle area;
  monitor->get_workarea(area);
  int width = 0;
  int height = 0;
  window_->get_size(width, height);
  window_->move(area.get_x() + (area.get_width() - width) / 2,
                area.get_y() + (area.get_height() - height) / 2);
}

void GtkWindowAdapter::orderFrontRegardless() {
  if (!window_->get_visible()) window_->show();
  // A plain restack request: the window comes to the top of the stack while the keyboard focus
  // stays where it is, as activation (present, _NET_ACTIVE_WINDOW) would move it.
  if (const Glib::RefPtr<Gdk::Window> surface = window_->get_window()) surface->raise();
}

}  // namespace stratovane::gtk
