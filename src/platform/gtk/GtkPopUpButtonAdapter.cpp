// A combo box of an interface file as the application's PopUpButton.
#include "platform/gtk/GtkPopUpButtonAdapter.h"

#include <gtk/gtk.h>

#include <utility>

#include "platform/gtk/GuardedAction.h"
#include "platform/system/GObjectPtr.h"

namespace stratovane::gtk {

namespace {

enum Column { kTitle = 0, kTag = 1 };

// Themes pad the button's edges but leave no gap before the arrow, so the longest item nearly
// touches it; it gets the button's own padding there.
void padBeforeArrow(GtkComboBox* comboBox) {
  GtkWidget* cellView = gtk_bin_get_child(GTK_BIN(comboBox));
  if (cellView == nullptr || !GTK_IS_CELL_VIEW(cellView)) return;
  GtkWidget* button = gtk_widget_get_parent(cellView);
  while (button != nullptr && !GTK_IS_BUTTON(button)) button = gtk_widget_get_parent(button);
  if (button == nullptr) return;
  GtkStyleContext* style = gtk_widget_get_style_context(button);
  GtkBorder padding{};
  gtk_style_context_get_padding(style, gtk_style_context_get_state(style), &padding);
  gtk_widget_set_margin_end(cellView, padding.right);
}

// A long menu laid over its button leaves much of a short screen empty; the interface file marks
// such pop-ups to open as one scrolling column as wide as the button, in the model's order.
void openAsListWhenMarked(GtkComboBox* comboBox) {
  GtkStyleContext* style = gtk_widget_get_style_context(GTK_WIDGET(comboBox));
  if (!gtk_style_context_has_class(style, GtkPopUpButtonAdapter::kListStyleClass)) return;
  gtk_combo_box_set_wrap_width(comboBox, 0);  // a grid is never a list
  GObjectPtr<GtkCssProvider> css(gtk_css_provider_new());
  gtk_css_provider_load_from_data(css.get(), "combobox { -GtkComboBox-appears-as-list: true; }", -1,
                                  nullptr);
  // Below the user's own style, which may still ask for a menu.
  gtk_style_context_add_provider(style, GTK_STYLE_PROVIDER(css.get()),
                                 GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

}  // namespace

GtkPopUpButtonAdapter::GtkPopUpButtonAdapter(std::shared_ptr<Gtk::Window> owner,
                                             Gtk::ComboBox& comboBox)
    : owner_(std::move(owner)), comboBox_(comboBox) {
  padBeforeArrow(comboBox_.gobj());
  openAsListWhenMarked(comboBox_.gobj());
  changed_ = comboBox_.signal_changed().connect([this] {
    if (!selecting_) runGuarded(action_);
  });
}

std::vector<PopUpItem> GtkPopUpButtonAdapter::items() const {
  std::vector<PopUpItem> result;
  GtkTreeModel* model = gtk_combo_box_get_model(comboBox_.gobj());
  if (model == nullptr) return result;
  const int active = gtk_combo_box_get_active(comboBox_.gobj());
  GtkTreeIter iter;
  for (gboolean valid = gtk_tree_model_get_iter_first(model, &iter); valid;
       valid = gtk_tree_model_iter_next(model, &iter)) {
    gchar* title = nullptr;
    gint tag = 0;
    gtk_tree_model_get(model, &iter, kTitle, &title, kTag, &tag, -1);
    result.push_back(
        {title != nullptr ? title : "", tag, static_cast<int>(result.size()) == active});
    g_free(title);
  }
  return result;
}

void GtkPopUpButtonAdapter::addItem(const std::string& title, std::int64_t tag) {
  GtkTreeModel* model = gtk_combo_box_get_model(comboBox_.gobj());
  if (model == nullptr || !GTK_IS_LIST_STORE(model)) return;
  GtkTreeIter iter;
  gtk_list_store_append(GTK_LIST_STORE(model), &iter);
  gtk_list_store_set(GTK_LIST_STORE(model), &iter, kTitle, title.c_str(), kTag,
                     static_cast<gint>(tag), -1);
}

void GtkPopUpButtonAdapter::setItemTitle(std::size_t index, const std::string& title) {
  GtkTreeModel* model = gtk_combo_box_get_model(comboBox_.gobj());
  if (model == nullptr || !GTK_IS_LIST_STORE(model) || index >= items().size()) return;
  GtkTreeIter iter;
  if (!gtk_tree_model_iter_nth_child(model, &iter, nullptr, static_cast<gint>(index))) return;
  gtk_list_store_set(GTK_LIST_STORE(model), &iter, kTitle, title.c_str(), -1);
}

void GtkPopUpButtonAdapter::selectItem(std::size_t index) {
  if (index >= items().size()) return;
  selecting_ = true;
  comboBox_.set_active(static_cast<int>(index));
  selecting_ = false;
}

bool GtkPopUpButtonAdapter::selectItemWithTag(std::int64_t tag) {
  const std::vector<PopUpItem> all = items();
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (all[i].tag == tag) {
      selectItem(i);
      return true;
    }
  }
  return false;
}

std::int64_t GtkPopUpButtonAdapter::selectedTag() const {
  for (const PopUpItem& item : items()) {
    if (item.on) return item.tag;
  }
  return -1;
}

void GtkPopUpButtonAdapter::setAction(std::function<void()> action) {
  action_ = std::move(action);
}

}  // namespace stratovane::gtk
