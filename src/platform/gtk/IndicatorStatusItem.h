// The panel item on libayatana-appindicator: the title's emoji its icon, the rest its label.
#pragma once

#include <gtkmm/menu.h>
#include <libayatana-appindicator/app-indicator.h>
#include <sigc++/connection.h>

#include <memory>
#include <string>

#include "platform/StatusItem.h"
#include "platform/gtk/EmojiIcon.h"
#include "platform/system/BlankIcon.h"
#include "platform/system/GObjectPtr.h"
#include "platform/system/PanelLook.h"

namespace stratovane::gtk {

class IndicatorStatusItem : public StatusItem {
 public:
  // `id` names the item on the bus; `icon` is drawn beside a label without an emoji, and its
  // folder holds the emoji icons too.
  IndicatorStatusItem(const std::string& id, const BlankIcon& icon);
  ~IndicatorStatusItem() override;
  IndicatorStatusItem(const IndicatorStatusItem&) = delete;
  IndicatorStatusItem& operator=(const IndicatorStatusItem&) = delete;

  bool hasButton() const override { return true; }
  void setTitle(const std::string& title) override;
  std::string title() const override { return title_; }
  // Both looks show the title's emoji as the icon and the rest as the label, the whole title as
  // the item's title (the tooltip of icon-only hosts). A title without an emoji is the label
  // beside the blank icon on label hosts, and keeps the last emoji on icon-only hosts.
  void setLook(PanelLook look);
  // The GtkMenu follows the menu's changes once per main-loop iteration, however many there were.
  void setMenu(std::shared_ptr<Menu> menu) override;
  std::shared_ptr<Menu> menu() const override { return menu_; }

  // What the panel host is given; for tests.
  std::string label() const;
  Gtk::Menu& gtkMenu() { return gtkMenu_; }
  AppIndicator* indicator() const { return indicator_.get(); }

 private:
  void scheduleRebuild();
  void rebuild();
  void showTitle();

  BlankIcon blank_;
  EmojiIcon emojiIcon_;
  PanelLook look_ = PanelLook::label;
  std::string title_;
  std::shared_ptr<Menu> menu_;
  Gtk::Menu gtkMenu_;
  // Declared after the GtkMenu so that it lets go of the menu first.
  GObjectPtr<AppIndicator> indicator_;
  sigc::connection pendingRebuild_;
};

}  // namespace stratovane::gtk
