// A combo box of an interface file as the application's PopUpButton.
#include "platform/gtk/GtkPopUpButtonAdapter.h"

#include <gtk/gtk.h>

#include <utility>

#include "platform/gtk/GuardedAction.h"

namespace stratovane::gtk {

namespace {

enum Column { kTitle = 0, kTag = 1 };

}  // namespace

GtkPopUpButtonAdapter::GtkPopUpButtonAdapter(std::shared_ptr<Gtk::Window> owner,
                                             Gtk::ComboBox& comboBox)
    : owner_(std::move(owner)), comboBox_(comboBox) {
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
