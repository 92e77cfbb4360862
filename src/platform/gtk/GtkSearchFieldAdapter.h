// A one-line entry of an interface file as the application's SearchField, with its result list.
#pragma once

#include <gtkmm/entry.h>
#include <gtkmm/gesturemultipress.h>
#include <gtkmm/listbox.h>
#include <gtkmm/popover.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/window.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Widgets.h"

namespace stratovane::gtk {

// The list is a popover under the entry that leaves the keyboard with the entry: Up and Down
// walk the results, Enter takes the highlighted one, Escape closes the list and nothing else,
// and a click anywhere but the list or the entry closes it. Ctrl+F anywhere in the window
// focuses the entry.
class GtkSearchFieldAdapter : public SearchField {
 public:
  // `owner` is the window holding the entry, kept alive as long as this field.
  GtkSearchFieldAdapter(std::shared_ptr<Gtk::Window> owner, Gtk::Entry& entry);
  ~GtkSearchFieldAdapter() override;

  std::string stringValue() const override { return entry_.get_text(); }
  void setStringValue(const std::string& value) override;
  void setTextChangedAction(std::function<void()> action) override { changed_ = std::move(action); }
  void setActivateAction(std::function<void()> action) override { activate_ = std::move(action); }
  void setChooseAction(std::function<void(std::size_t)> action) override {
    choose_ = std::move(action);
  }
  void showResults(const std::vector<std::string>& lines) override;
  void showNotice(const std::string& line) override;
  void closeResults() override { popover_.popdown(); }

  // The list, for tests: shown while the popover is visible.
  Gtk::Popover& popover() { return popover_; }
  Gtk::ListBox& list() { return list_; }

 private:
  void fill(const std::vector<std::string>& lines, bool choosable);
  bool keyPressed(GdkEventKey* event);
  void pressed();
  void highlight(int step);
  void chooseRow(int index);

  std::shared_ptr<Gtk::Window> owner_;
  Gtk::Entry& entry_;
  Gtk::Popover popover_;
  Gtk::ScrolledWindow scroller_;
  Gtk::ListBox list_;
  Glib::RefPtr<Gtk::GestureMultiPress> presses_;
  std::function<void()> changed_;
  std::function<void()> activate_;
  std::function<void(std::size_t)> choose_;
  std::vector<sigc::connection> connections_;
  bool choosable_ = false;  // the lines are results, not a notice
  bool settingText_ = false;
};

}  // namespace stratovane::gtk
