// The panel item on D-Bus alone: a StatusNotifierItem with its dbusmenu, no toolkit.
#pragma once

#include <gio/gio.h>

#include <memory>
#include <set>
#include <string>

#include "platform/StatusItem.h"
#include "platform/system/BlankIcon.h"
#include "platform/system/DBusMenuExporter.h"
#include "platform/system/EmojiIconDrawer.h"
#include "platform/system/PanelHostWatch.h"
#include "platform/system/PanelLook.h"
#include "platform/system/StatusNotifierItem.h"

namespace stratovane {

// Shows the title's emoji as the icon and the rest as the label (see PanelTitle); the look
// follows the program that owns the watcher. An emoji not drawn yet holds the title back until
// its icon is there, so icon and label change together; a title whose emoji cannot be drawn is
// shown as today's fallback. Once handed over, everything goes to another item instead.
class NotifierStatusItem final : public StatusItem {
 public:
  static constexpr const char* kPath = "/org/ayatana/NotificationItem/stratovane";
  static constexpr const char* kMenuPath = "/org/ayatana/NotificationItem/stratovane/Menu";

  // Emoji icons are drawn by `helper` (see EmojiIconDrawer) into the blank icon's folder;
  // `programOf` tells the program of the watcher's owner.
  NotifierStatusItem(GDBusConnection* bus, const BlankIcon& blank,
                     std::string helper = EmojiIconDrawer::defaultHelper(),
                     PanelHostWatch::ProgramOf programOf = PanelHostWatch::programOfProcess);
  ~NotifierStatusItem() override;
  NotifierStatusItem(const NotifierStatusItem&) = delete;
  NotifierStatusItem& operator=(const NotifierStatusItem&) = delete;

  bool hasButton() const override { return true; }
  void setTitle(const std::string& title) override;
  std::string title() const override { return title_; }
  void setMenu(std::shared_ptr<Menu> menu) override;
  std::shared_ptr<Menu> menu() const override { return menu_; }

  // Leaves the bus and forwards the title and menu to `other` from now on: the toolkit's item,
  // for trays that D-Bus cannot reach.
  void handOver(std::shared_ptr<StatusItem> other);

  // What the hosts are shown; null once handed over. For tests.
  const StatusNotifierItem* item() const { return item_.get(); }
  const DBusMenuExporter* exporter() const { return exporter_.get(); }

 private:
  void show();
  void iconDrawn(const std::string& emoji, const std::string& icon);

  BlankIcon blank_;
  PanelLook look_ = PanelLook::iconOnly;
  std::string title_;
  std::shared_ptr<Menu> menu_;
  std::string drawnEmoji_;  // the last emoji with an icon, and that icon
  std::string drawnIcon_;
  std::set<std::string> failedEmoji_;  // not drawn, and not asked for again
  bool drawing_ = false;
  std::unique_ptr<DBusMenuExporter> exporter_;
  std::unique_ptr<StatusNotifierItem> item_;
  std::unique_ptr<EmojiIconDrawer> drawer_;
  std::unique_ptr<PanelHostWatch> watch_;
  std::shared_ptr<StatusItem> successor_;
};

}  // namespace stratovane
