// The panel item: its label and the GtkMenu built from the menu data, on a real indicator.
#include "platform/gtk/IndicatorStatusItem.h"

#include <gtkmm/menuitem.h>
#include <gtkmm/separatormenuitem.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "GuiTest.h"
#include "platform/gtk/BlankIcon.h"

namespace stratovane {
namespace {

using gtk::IndicatorStatusItem;

struct Entry {
  std::string label;  // empty for separators
  bool separator;
  bool sensitive;
  bool operator==(const Entry&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Entry& entry) {
  return out << (entry.separator ? "---" : '"' + entry.label + '"')
             << (entry.sensitive ? "" : " (disabled)");
}

class IndicatorStatusItemTest : public testing::GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    if (IsSkipped()) return;
    // One id per item: a destroyed indicator leaves the bus only later.
    static int count = 0;
    item = std::make_unique<IndicatorStatusItem>("stratovane-test-" + std::to_string(++count),
                                                 gtk::BlankIcon::install());
  }
  void TearDown() override {
    item.reset();
    GuiTest::TearDown();
  }

  std::vector<Entry> entries() {
    std::vector<Entry> result;
    for (Gtk::Widget* child : item->gtkMenu().get_children()) {
      const bool separator = dynamic_cast<Gtk::SeparatorMenuItem*>(child) != nullptr;
      auto* menuItem = dynamic_cast<Gtk::MenuItem*>(child);
      result.push_back({separator || menuItem == nullptr ? "" : menuItem->get_label().raw(),
                        separator, child->get_sensitive()});
    }
    return result;
  }

  Gtk::MenuItem& entryAt(std::size_t index) {
    return dynamic_cast<Gtk::MenuItem&>(*item->gtkMenu().get_children().at(index));
  }

  static MenuItem command(
      std::string title, std::function<void()> action = [] {}) {
    return MenuItem{std::move(title), std::move(action)};
  }

  std::unique_ptr<IndicatorStatusItem> item;
};

TEST_F(IndicatorStatusItemTest, TheTitlesEmojiIsTheIconAndTheRestTheLabel) {
  const gtk::BlankIcon installed = gtk::BlankIcon::install();
  const std::string blank = installed.name;
  const auto emoji = [&](const char* codes) {
    return installed.themePath + "/stratovane-emoji-" + codes + ".png";
  };
  const auto icon = [&] { return std::string(app_indicator_get_icon(item->indicator())); };
  EXPECT_TRUE(item->hasButton());
  EXPECT_EQ(app_indicator_get_status(item->indicator()), APP_INDICATOR_STATUS_ACTIVE);
  const struct {
    gtk::PanelLook look;
    const char* title;
    std::string icon;
    const char* label;
  } steps[] = {
      {gtk::PanelLook::label, "\u23F1 Fetching...", emoji("23f1"), "Fetching..."},
      {gtk::PanelLook::label, "\u2600\uFE0F  21\u00B0", emoji("2600-fe0f"), "21\u00B0"},
      {gtk::PanelLook::label, "21\u00B0", blank, "21\u00B0"},  // no emoji: today's look
      {gtk::PanelLook::iconOnly, "21\u00B0", emoji("2600-fe0f"), "21\u00B0"},
      {gtk::PanelLook::iconOnly, "\u26A0\uFE0F Offline", emoji("26a0-fe0f"), "Offline"},
      {gtk::PanelLook::label, "\u26A0\uFE0F Offline", emoji("26a0-fe0f"), "Offline"},
  };
  for (const auto& step : steps) {
    item->setLook(step.look);
    item->setTitle(step.title);
    EXPECT_EQ(item->title(), step.title);
    EXPECT_EQ(icon(), step.icon) << step.title;
    EXPECT_EQ(item->label(), step.label) << step.title;
    EXPECT_STREQ(app_indicator_get_title(item->indicator()), step.title);
  }
  spin(std::chrono::seconds(1));  // the XEmbed fallback sets in and shows the file, unwarned
}

TEST_F(IndicatorStatusItemTest, TheIconIsBlankAndFoundWithoutAPanelHost) {
  const gtk::BlankIcon icon = gtk::BlankIcon::install();
  ASSERT_FALSE(icon.themePath.empty());
  EXPECT_STREQ(app_indicator_get_icon_theme_path(item->indicator()), icon.themePath.c_str());
  EXPECT_STREQ(app_indicator_get_icon(item->indicator()), icon.name.c_str());
  // The XEmbed fallback, used while the bus has no watcher, finds it through GTK's icon theme.
  GtkIconInfo* found =
      gtk_icon_theme_lookup_icon(gtk_icon_theme_get_default(), icon.name.c_str(), 22, {});
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(gtk_icon_info_get_filename(found), icon.themePath + "/" + icon.name + ".png");
  g_object_unref(found);
  spin(std::chrono::seconds(1));  // the fallback sets in; it used to read out of bounds

  const Glib::RefPtr<Gdk::Pixbuf> pixels =
      Gdk::Pixbuf::create_from_file(icon.themePath + "/" + icon.name + ".png");
  ASSERT_TRUE(pixels->get_has_alpha());
  const guint8* data = pixels->get_pixels();
  for (int row = 0; row < pixels->get_height(); ++row) {
    for (int column = 0; column < pixels->get_width(); ++column) {
      EXPECT_EQ(data[row * pixels->get_rowstride() + column * 4 + 3], 0) << row << "," << column;
    }
  }
}

TEST_F(IndicatorStatusItemTest, TheGtkMenuFollowsTheMenu) {
  auto menu = std::make_shared<Menu>();
  menu->addItem(MenuItem::separatorItem());
  menu->addItem(command("Update forecast"));
  MenuItem disabled = command("\u2600\uFE0F 14:00: clear sky : 21 \u00B0");
  disabled.enabled = false;
  menu->addItem(disabled);
  item->setMenu(menu);
  EXPECT_EQ(item->menu(), menu);
  drain();
  EXPECT_EQ(entries(),
            (std::vector<Entry>{{"", true, false},
                                {"Update forecast", false, true},
                                {"\u2600\uFE0F 14:00: clear sky : 21 \u00B0", false, false}}));
  EXPECT_EQ(app_indicator_get_menu(item->indicator()), item->gtkMenu().gobj());

  menu->removeAllItems();
  menu->addItem(command("Quit"));
  drain();
  EXPECT_EQ(entries(), (std::vector<Entry>{{"Quit", false, true}}));
  for (Gtk::Widget* child : item->gtkMenu().get_children()) EXPECT_TRUE(child->get_visible());
}

TEST_F(IndicatorStatusItemTest, ABurstOfChangesIsOneRebuild) {
  auto menu = std::make_shared<Menu>();
  item->setMenu(menu);
  drain();
  int inserted = 0;
  const gulong handler = g_signal_connect_swapped(
      item->gtkMenu().gobj(), "insert", G_CALLBACK(+[](int* count) { ++*count; }), &inserted);

  for (int i = 0; i < 20; ++i) menu->addItem(command("entry " + std::to_string(i)));
  EXPECT_TRUE(entries().empty()) << "rebuilt before the main loop ran";
  drain();
  g_signal_handler_disconnect(item->gtkMenu().gobj(), handler);
  EXPECT_EQ(inserted, 20);  // one rebuild; one per change would insert 210 entries
  ASSERT_EQ(entries().size(), 20u);
  EXPECT_EQ(entries().back().label, "entry 19");
}

TEST_F(IndicatorStatusItemTest, ActivatingAnEntryRunsItsActionOnTheMainThread) {
  auto menu = std::make_shared<Menu>();
  std::vector<std::thread::id> runs;
  // Like the application's commands: the action rebuilds the very menu it was chosen from.
  menu->addItem(command("Update forecast", [&] {
    runs.push_back(std::this_thread::get_id());
    menu->removeAllItems();
    menu->addItem(command("after"));
  }));
  item->setMenu(menu);
  drain();

  entryAt(0).activate();
  drain();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0], std::this_thread::get_id());
  EXPECT_EQ(entries(), (std::vector<Entry>{{"after", false, true}}));

  // The entry is gone by the time its action runs.
  menu->removeAllItems();
  menu->addItem(command("once", [&] { runs.push_back(std::this_thread::get_id()); }));
  drain();
  entryAt(0).activate();
  menu->removeAllItems();
  drain();
  EXPECT_EQ(runs.size(), 2u);
  EXPECT_TRUE(entries().empty());
}

TEST_F(IndicatorStatusItemTest, AMenuLetGoOfIsNoLongerFollowed) {
  auto first = std::make_shared<Menu>();
  auto second = std::make_shared<Menu>();
  item->setMenu(first);
  item->setMenu(second);
  second->addItem(command("second"));
  first->addItem(command("first"));
  drain();
  EXPECT_EQ(entries(), (std::vector<Entry>{{"second", false, true}}));

  // The menu outlives the item: later changes must not reach the destroyed item.
  item.reset();
  second->addItem(command("late"));
  drain();
}

}  // namespace
}  // namespace stratovane
