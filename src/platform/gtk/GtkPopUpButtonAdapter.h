// A combo box of an interface file as the application's PopUpButton.
#pragma once

#include <gtkmm/combobox.h>
#include <gtkmm/window.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Widgets.h"

namespace stratovane::gtk {

// The combo box's model is a GtkListStore with the item's title in column 0 (gchararray) and its
// tag in column 1 (gint); the active row is the one item that is on. The text keeps the button's
// padding before the arrow.
class GtkPopUpButtonAdapter : public PopUpButton {
 public:
  // The style class that makes a combo box open as a list rather than a menu.
  static constexpr const char* kListStyleClass = "stratovane-list";

  GtkPopUpButtonAdapter(std::shared_ptr<Gtk::Window> owner, Gtk::ComboBox& comboBox);
  ~GtkPopUpButtonAdapter() override { changed_.disconnect(); }

  std::vector<PopUpItem> items() const override;
  void addItem(const std::string& title, std::int64_t tag) override;
  void setItemTitle(std::size_t index, const std::string& title) override;
  void selectItem(std::size_t index) override;
  bool selectItemWithTag(std::int64_t tag) override;
  std::int64_t selectedTag() const override;
  void setAction(std::function<void()> action) override;

 private:
  std::shared_ptr<Gtk::Window> owner_;
  Gtk::ComboBox& comboBox_;
  std::function<void()> action_;
  sigc::connection changed_;
  bool selecting_ = false;  // the program, not the user, changes the selection
};

}  // namespace stratovane::gtk
