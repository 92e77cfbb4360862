// A one-line entry of an interface file as the application's SearchField, with its result list.
#include "platform/gtk/GtkSearchFieldAdapter.h"

#include <gdk/gdkkeysyms.h>
#include <gtkmm/label.h>
#include <gtkmm/listboxrow.h>

#include <algorithm>
#include <utility>

#include "platform/gtk/GuardedAction.h"

namespace stratovane::gtk {

namespace {

constexpr int kListHeight = 300;  // about nine results; the rest scroll
constexpr int kNarrowestList = 240;

}  // namespace

GtkSearchFieldAdapter::GtkSearchFieldAdapter(std::shared_ptr<Gtk::Window> owner, Gtk::Entry& entry)
    : owner_(std::move(owner)), entry_(entry), popover_(entry) {
  // Not modal: the keyboard stays with the entry while the list is open.
  popover_.set_modal(false);
  popover_.set_position(Gtk::POS_BOTTOM);
  scroller_.set_policy(Gtk::POLICY_NEVER, Gtk::POLICY_AUTOMATIC);
  scroller_.set_propagate_natural_height(true);
  scroller_.set_max_content_height(kListHeight);
  list_.set_selection_mode(Gtk::SELECTION_SINGLE);
  list_.set_activate_on_single_click(true);
  list_.set_can_focus(false);
  scroller_.add(list_);
  popover_.add(scroller_);
  scroller_.show_all();

  // A window gives the focus to its first widget when shown: that stays the map, as before, and
  // the entry takes it from Ctrl+F or a click.
  if (!owner_->get_visible()) {
    entry_.set_can_focus(false);
    connections_.push_back(
        owner_->signal_show().connect([this] { entry_.set_can_focus(true); }, true));
  }
  connections_.push_back(entry_.signal_changed().connect([this] {
    if (!settingText_) runGuarded(changed_);
  }));
  connections_.push_back(entry_.signal_activate().connect([this] {
    Gtk::ListBoxRow* row = popover_.get_visible() ? list_.get_selected_row() : nullptr;
    if (row != nullptr && choosable_) {
      chooseRow(row->get_index());
    } else {
      runGuarded(activate_);
    }
  }));
  connections_.push_back(list_.signal_row_activated().connect([this](Gtk::ListBoxRow* row) {
    if (row != nullptr && choosable_) chooseRow(row->get_index());
  }));
  // Before the focused widget has the key, so that Escape closes the list and not the view.
  connections_.push_back(owner_->signal_key_press_event().connect(
      [this](GdkEventKey* event) { return keyPressed(event); }, false));
  // Seen before the widget under the pointer takes the press, and never claimed.
  presses_ = Gtk::GestureMultiPress::create(*owner_);
  presses_->set_propagation_phase(Gtk::PHASE_CAPTURE);
  presses_->set_button(0);
  connections_.push_back(
      presses_->signal_pressed().connect([this](int, double, double) { pressed(); }));
}

GtkSearchFieldAdapter::~GtkSearchFieldAdapter() {
  for (sigc::connection& connection : connections_) connection.disconnect();
}

void GtkSearchFieldAdapter::setStringValue(const std::string& value) {
  settingText_ = true;
  entry_.set_text(value);
  settingText_ = false;
  entry_.set_position(-1);
}

void GtkSearchFieldAdapter::showResults(const std::vector<std::string>& lines) {
  if (lines.empty()) return closeResults();
  fill(lines, true);
}

void GtkSearchFieldAdapter::showNotice(const std::string& line) {
  fill({line}, false);
}

void GtkSearchFieldAdapter::fill(const std::vector<std::string>& lines, bool choosable) {
  // Destroying a managed row takes its wrapper with it; removing alone would leave both.
  for (Gtk::Widget* row : list_.get_children()) gtk_widget_destroy(row->gobj());
  choosable_ = choosable;
  for (const std::string& line : lines) {
    auto* label = Gtk::make_managed<Gtk::Label>();
    label->set_text(line);  // never markup: the service's names are shown as written
    label->set_xalign(0);
    label->set_ellipsize(Pango::ELLIPSIZE_END);
    label->set_margin_top(4);
    label->set_margin_bottom(4);
    label->set_margin_start(6);
    label->set_margin_end(6);
    auto* row = Gtk::make_managed<Gtk::ListBoxRow>();
    row->set_can_focus(false);
    row->add(*label);
    if (!choosable) {
      row->set_activatable(false);
      row->set_selectable(false);
      row->set_sensitive(false);
    }
    list_.append(*row);
  }
  list_.show_all();
  list_.unselect_all();
  scroller_.get_vadjustment()->set_value(0);
  list_.set_size_request(std::max(entry_.get_allocated_width() - 16, kNarrowestList), -1);
  popover_.popup();
}

bool GtkSearchFieldAdapter::keyPressed(GdkEventKey* event) {
  const bool control = (event->state & GDK_CONTROL_MASK) != 0;
  if (control && (event->keyval == GDK_KEY_f || event->keyval == GDK_KEY_F)) {
    entry_.grab_focus();
    return true;
  }
  if (!popover_.get_visible()) return false;
  switch (event->keyval) {
    case GDK_KEY_Escape:
      closeResults();
      return true;
    case GDK_KEY_Down:
    case GDK_KEY_KP_Down:
      if (!entry_.has_focus()) return false;
      highlight(1);
      return true;
    case GDK_KEY_Up:
    case GDK_KEY_KP_Up:
      if (!entry_.has_focus()) return false;
      highlight(-1);
      return true;
    default:
      return false;
  }
}

void GtkSearchFieldAdapter::pressed() {
  if (!popover_.get_visible()) return;
  GdkEvent* event = gtk_get_current_event();
  if (event == nullptr) return;
  GtkWidget* target = gtk_get_event_widget(event);
  gdk_event_free(event);
  GtkWidget* list = GTK_WIDGET(popover_.gobj());
  const bool inside =
      target != nullptr && (target == list || gtk_widget_is_ancestor(target, list) ||
                            target == GTK_WIDGET(entry_.gobj()));
  if (!inside) closeResults();
}

void GtkSearchFieldAdapter::highlight(int step) {
  if (!choosable_) return;
  const int count = static_cast<int>(list_.get_children().size());
  if (count == 0) return;
  const Gtk::ListBoxRow* selected = list_.get_selected_row();
  const int next = std::clamp((selected ? selected->get_index() : -1) + step, -1, count - 1);
  if (next < 0) {
    list_.unselect_all();
    return;
  }
  Gtk::ListBoxRow* row = list_.get_row_at_index(next);
  list_.select_row(*row);
  // Keeps the highlighted row in view: the list itself never has the focus to scroll by.
  const Gtk::Allocation where = row->get_allocation();
  const Glib::RefPtr<Gtk::Adjustment> scroll = scroller_.get_vadjustment();
  if (where.get_y() < scroll->get_value()) {
    scroll->set_value(where.get_y());
  } else if (where.get_y() + where.get_height() > scroll->get_value() + scroll->get_page_size()) {
    scroll->set_value(where.get_y() + where.get_height() - scroll->get_page_size());
  }
}

void GtkSearchFieldAdapter::chooseRow(int index) {
  if (index < 0) return;
  runGuarded([this, index] {
    if (choose_) choose_(static_cast<std::size_t>(index));
  });
}

}  // namespace stratovane::gtk
