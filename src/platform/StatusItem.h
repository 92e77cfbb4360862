// The application's one item in the panel (or text bar): a title and a menu.
#pragma once

#include <memory>
#include <string>

#include "platform/Menu.h"

namespace stratovane {

class StatusItem {
 public:
  virtual ~StatusItem() = default;
  // Without a button, titles are not shown and setTitle does nothing.
  virtual bool hasButton() const = 0;
  virtual void setTitle(const std::string& title) = 0;
  virtual std::string title() const = 0;
  virtual void setMenu(std::shared_ptr<Menu> menu) = 0;
  virtual std::shared_ptr<Menu> menu() const = 0;
  // Whether a person can choose the menu's entries; a text bar only shows them as text.
  virtual bool menuIsChoosable() const { return true; }
};

}  // namespace stratovane
