// The status item's menu: plain data that each front-end renders in its own way.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace stratovane {

struct MenuItem {
  std::string title;
  std::function<void()> action;  // runs on the main thread; empty for separators
  bool separator = false;
  bool enabled = true;

  static MenuItem separatorItem() { return MenuItem{{}, {}, true, false}; }
};

class Menu {
 public:
  void addItem(MenuItem item);
  void removeAllItems();
  const std::vector<MenuItem>& items() const { return items_; }

  // Front-ends redraw from here; it runs on the main thread after every change.
  void setOnChange(std::function<void()> onChange) { onChange_ = std::move(onChange); }

 private:
  void changed() {
    if (onChange_) onChange_();
  }

  std::vector<MenuItem> items_;
  std::function<void()> onChange_;
};

}  // namespace stratovane
