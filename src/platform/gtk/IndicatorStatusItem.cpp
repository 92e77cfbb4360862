// The panel item on libayatana-appindicator: the title's emoji its icon, the rest its label.
#include "platform/gtk/IndicatorStatusItem.h"

#include <glibmm/main.h>
#include <gtkmm/menuitem.h>
#include <gtkmm/separatormenuitem.h>

#include <algorithm>
#include <string_view>
#include <utility>

#include "platform/gtk/GuardedAction.h"
#include "platform/system/Emoji.h"
#include "platform/system/PanelTitle.h"

namespace stratovane::gtk {

namespace {

// Without a StatusNotifier host the library falls back to an XEmbed icon and looks for the theme
// folder in GTK's icon search path, reading past the end of the list when it is not there.
void addToIconSearchPath(const std::string& folder) {
  GtkIconTheme* theme = gtk_icon_theme_get_default();
  gchar** path = nullptr;
  gint count = 0;
  gtk_icon_theme_get_search_path(theme, &path, &count);
  const bool present = std::find(path, path + count, std::string_view(folder)) != path + count;
  g_strfreev(path);
  if (!present) gtk_icon_theme_append_search_path(theme, folder.c_str());
}

GObjectPtr<AppIndicator> makeIndicator(const std::string& id, const BlankIcon& icon) {
  if (icon.themePath.empty()) {
    return GObjectPtr<AppIndicator>(app_indicator_new(id.c_str(), icon.name.c_str(),
                                                      APP_INDICATOR_CATEGORY_APPLICATION_STATUS));
  }
  addToIconSearchPath(icon.themePath);
  return GObjectPtr<AppIndicator>(app_indicator_new_with_path(
      id.c_str(), icon.name.c_str(), APP_INDICATOR_CATEGORY_APPLICATION_STATUS,
      icon.themePath.c_str()));
}

}  // namespace

IndicatorStatusItem::IndicatorStatusItem(const std::string& id, const BlankIcon& icon)
    : blank_(icon), emojiIcon_(icon.themePath), indicator_(makeIndicator(id, icon)) {
  // Hosts show an item only once it has a menu.
  app_indicator_set_menu(indicator_.get(), gtkMenu_.gobj());
  app_indicator_set_status(indicator_.get(), APP_INDICATOR_STATUS_ACTIVE);
}

IndicatorStatusItem::~IndicatorStatusItem() {
  pendingRebuild_.disconnect();
  if (menu_) menu_->setOnChange({});
}

void IndicatorStatusItem::setTitle(const std::string& title) {
  title_ = title;
  showTitle();
}

void IndicatorStatusItem::setLook(PanelLook look) {
  look_ = look;
  showTitle();
}

void IndicatorStatusItem::showTitle() {
  const std::string emoji = leadingEmoji(title_);
  emojiIcon_.iconForEmoji(emoji);
  const PanelTitle shown =
      PanelTitle::of(title_, emoji, look_, emojiIcon_.emoji(), emojiIcon_.path(), blank_.name);
  app_indicator_set_icon_full(indicator_.get(), shown.icon.c_str(), nullptr);
  app_indicator_set_label(indicator_.get(), shown.label.c_str(), nullptr);
  // The whole title reaches hosts that show no labels as the item's name or tooltip.
  app_indicator_set_title(indicator_.get(), title_.c_str());
}

std::string IndicatorStatusItem::label() const {
  const gchar* label = app_indicator_get_label(indicator_.get());
  return label != nullptr ? label : "";
}

void IndicatorStatusItem::setMenu(std::shared_ptr<Menu> menu) {
  if (menu_) menu_->setOnChange({});
  menu_ = std::move(menu);
  if (menu_) menu_->setOnChange([this] { scheduleRebuild(); });
  scheduleRebuild();
}

void IndicatorStatusItem::scheduleRebuild() {
  // The application adds a score of items in a burst; each rebuild is re-sent over the bus.
  if (pendingRebuild_.connected()) return;
  pendingRebuild_ = Glib::signal_idle().connect([this] {
    rebuild();
    return false;
  });
}

void IndicatorStatusItem::rebuild() {
  for (Gtk::Widget* child : gtkMenu_.get_children()) gtk_widget_destroy(child->gobj());
  if (!menu_) return;
  for (const MenuItem& item : menu_->items()) {
    Gtk::MenuItem* widget = item.separator ? Gtk::make_managed<Gtk::SeparatorMenuItem>()
                                           : Gtk::make_managed<Gtk::MenuItem>(item.title);
    widget->set_sensitive(item.enabled);
    if (item.action) {
      // Deferred: the action may rebuild this very menu, which destroys the activated widget.
      widget->signal_activate().connect([action = item.action] {
        Glib::signal_idle().connect_once([action] { runGuarded(action); });
      });
    }
    gtkMenu_.append(*widget);
  }
  gtkMenu_.show_all();
}

}  // namespace stratovane::gtk
