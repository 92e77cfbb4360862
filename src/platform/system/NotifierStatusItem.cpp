// The panel item on D-Bus alone: a StatusNotifierItem with its dbusmenu, no toolkit.
#include "platform/system/NotifierStatusItem.h"

#include <utility>

#include "platform/system/Emoji.h"
#include "platform/system/PanelTitle.h"

namespace stratovane {

namespace {

constexpr const char* kId = "stratovane";

}  // namespace

NotifierStatusItem::NotifierStatusItem(GDBusConnection* bus, const BlankIcon& blank,
                                       std::string helper, PanelHostWatch::ProgramOf programOf)
    : blank_(blank),
      exporter_(std::make_unique<DBusMenuExporter>(bus, kMenuPath)),
      item_(std::make_unique<StatusNotifierItem>(bus, kPath, kId, kMenuPath)),
      drawer_(std::make_unique<EmojiIconDrawer>(
          std::move(helper), blank_.themePath,
          [this](const std::string& emoji, const std::string& icon) { iconDrawn(emoji, icon); })) {
  item_->setIconThemePath(blank_.themePath);
  item_->setIcon(blank_.name);
  watch_ = std::make_unique<PanelHostWatch>(
      bus,
      [this](PanelLook look) {
        look_ = look;
        show();
      },
      std::move(programOf));
}

NotifierStatusItem::~NotifierStatusItem() = default;

void NotifierStatusItem::setTitle(const std::string& title) {
  title_ = title;
  if (successor_) return successor_->setTitle(title);
  show();
}

void NotifierStatusItem::setMenu(std::shared_ptr<Menu> menu) {
  menu_ = menu;
  if (successor_) return successor_->setMenu(std::move(menu));
  exporter_->setMenu(std::move(menu));
}

void NotifierStatusItem::show() {
  const std::string emoji = leadingEmoji(title_);
  if (!emoji.empty() && emoji != drawnEmoji_ && !failedEmoji_.contains(emoji)) {
    if (const std::string icon = drawer_->existingIcon(emoji); !icon.empty()) {
      drawnEmoji_ = emoji;
      drawnIcon_ = icon;
    } else {
      // Held back until the icon is there; iconDrawn shows the latest title then.
      drawing_ = true;
      drawer_->request(emoji);
      return;
    }
  }
  if (drawing_) return;
  const PanelTitle shown =
      PanelTitle::of(title_, emoji, look_, drawnEmoji_, drawnIcon_, blank_.name);
  item_->setIcon(shown.icon);
  item_->setLabel(shown.label);
  // The whole title reaches hosts that show no labels as the item's name and tooltip.
  item_->setTitle(title_);
}

void NotifierStatusItem::iconDrawn(const std::string& emoji, const std::string& icon) {
  drawing_ = false;
  if (icon.empty()) {
    failedEmoji_.insert(emoji);
  } else {
    drawnEmoji_ = emoji;
    drawnIcon_ = icon;
  }
  if (!successor_) show();
}

void NotifierStatusItem::handOver(std::shared_ptr<StatusItem> other) {
  if (!other) return;
  watch_.reset();
  drawer_.reset();
  item_.reset();
  exporter_.reset();  // lets go of the menu's change hook before the other item takes it
  successor_ = std::move(other);
  successor_->setTitle(title_);
  successor_->setMenu(menu_);
}

}  // namespace stratovane
