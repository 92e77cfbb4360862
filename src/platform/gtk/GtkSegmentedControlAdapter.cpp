// A row of toggle buttons of an interface file as the application's SegmentedControl.
#include "platform/gtk/GtkSegmentedControlAdapter.h"

#include <utility>

#include "platform/gtk/GuardedAction.h"

namespace stratovane::gtk {

GtkSegmentedControlAdapter::GtkSegmentedControlAdapter(std::shared_ptr<Gtk::Window> owner,
                                                       Gtk::Box& box)
    : owner_(std::move(owner)) {
  for (Gtk::Widget* child : box.get_children()) {
    auto* button = dynamic_cast<Gtk::ToggleButton*>(child);
    if (button == nullptr) continue;
    const std::size_t index = segments_.size();
    segments_.push_back(button);
    if (button->get_active() && selected_ < 0) selected_ = static_cast<int>(index);
    connections_.push_back(button->signal_toggled().connect([this, index] { toggled(index); }));
  }
  show(selected_);
}

GtkSegmentedControlAdapter::~GtkSegmentedControlAdapter() {
  for (sigc::connection& connection : connections_) connection.disconnect();
}

void GtkSegmentedControlAdapter::setSelectedSegment(std::int64_t segment) {
  selected_ = segment >= 0 && segment < segmentCount() ? static_cast<int>(segment) : -1;
  show(selected_);
}

int GtkSegmentedControlAdapter::selectedSegment() const {
  return selected_;
}

void GtkSegmentedControlAdapter::toggled(std::size_t index) {
  if (updating_) return;
  // A click on the segment already down leaves it down, as a segmented control does.
  if (static_cast<int>(index) != selected_) {
    selected_ = static_cast<int>(index);
    show(selected_);
    runGuarded(action_);
  } else {
    show(selected_);
  }
}

void GtkSegmentedControlAdapter::show(int segment) {
  updating_ = true;
  for (std::size_t i = 0; i < segments_.size(); ++i)
    segments_[i]->set_active(static_cast<int>(i) == segment);
  updating_ = false;
}

}  // namespace stratovane::gtk
