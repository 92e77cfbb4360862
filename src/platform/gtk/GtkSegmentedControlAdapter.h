// A row of toggle buttons of an interface file as the application's SegmentedControl.
#pragma once

#include <gtkmm/box.h>
#include <gtkmm/togglebutton.h>
#include <gtkmm/window.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/Widgets.h"

namespace stratovane::gtk {

// The segments are the box's GtkToggleButton children in order; at most one is down.
class GtkSegmentedControlAdapter : public SegmentedControl {
 public:
  GtkSegmentedControlAdapter(std::shared_ptr<Gtk::Window> owner, Gtk::Box& box);
  ~GtkSegmentedControlAdapter() override;

  int segmentCount() const override { return static_cast<int>(segments_.size()); }
  void setSelectedSegment(std::int64_t segment) override;
  int selectedSegment() const override;
  void setAction(std::function<void()> action) override { action_ = std::move(action); }

 private:
  void toggled(std::size_t index);
  void show(int segment);

  std::shared_ptr<Gtk::Window> owner_;
  std::vector<Gtk::ToggleButton*> segments_;
  std::vector<sigc::connection> connections_;
  std::function<void()> action_;
  int selected_ = -1;
  bool updating_ = false;
};

}  // namespace stratovane::gtk
