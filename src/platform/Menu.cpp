// The status item's menu.
#include "platform/Menu.h"

namespace stratovane {

void Menu::addItem(MenuItem item) {
  items_.push_back(std::move(item));
  changed();
}

void Menu::removeAllItems() {
  items_.clear();
  changed();
}

}  // namespace stratovane
