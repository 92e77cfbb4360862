// The panel item: its label and the GtkMenu built from the menu data, on a real indicator.
#include "platform/gtk/IndicatorStatusItem.h"

#include <gtkmm/menuitem.h>
#include <gtkmm/separatormenuitem.h>

#include <memory>
#include <string>
#include <vector>

#include "GuiTest.h"
#include "platform/gtk/BlankIcon.h"

namespace stratovane {
namespace {

using gtk::IndicatorStatusItem;

MenuItem command(
    std::string title, std::function<void()> action = [] {}) {
  return MenuItem{std::move(title), std::move(action)};
}

class IndicatorStatusItemTest : public testing::GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    if (IsSkipped()) return;
    // One id per item: a destroyed indicator leaves the bus only later.
    static int count = 0;
    blank = gtk::BlankIcon::install();
    item =
        std::make_unique<IndicatorStatusItem>("stratovane-test-" + std::to_string(++count), blank);
  }
  void TearDown() override {
    item.reset();
    GuiTest::TearDown();
  }

  // The GtkMenu's entries: separators as "---", disabled entries marked "(off)".
  std::vector<std::string> entries() {
    std::vector<std::string> result;
    for (Gtk::Widget* child : item->gtkMenu().get_children()) {
      auto* menuItem = dynamic_cast<Gtk::MenuItem*>(child);
      if (dynamic_cast<Gtk::SeparatorMenuItem*>(child) != nullptr || menuItem == nullptr)
        result.push_back("---");
      else
        result.push_back((child->get_sensitive() ? "" : "(off)") + menuItem->get_label());
    }
    return result;
  }

  Gtk::MenuItem& entryAt(std::size_t index) {
    return dynamic_cast<Gtk::MenuItem&>(*item->gtkMenu().get_children().at(index));
  }

  gtk::BlankIcon blank;
  std::unique_ptr<IndicatorStatusItem> item;
};

TEST_F(IndicatorStatusItemTest, TheIconIsBlankOrTheTitlesEmojiAndTheRestTheLabel) {
  ASSERT_FALSE(blank.themePath.empty());
  EXPECT_TRUE(item->hasButton());
  EXPECT_EQ(app_indicator_get_status(item->indicator()), APP_INDICATOR_STATUS_ACTIVE);
  EXPECT_STREQ(app_indicator_get_icon_theme_path(item->indicator()), blank.themePath.c_str());
  EXPECT_STREQ(app_indicator_get_icon(item->indicator()), blank.name.c_str());
  // The XEmbed fallback, used while the bus has no watcher, finds it through GTK's icon theme.
  GtkIconInfo* found =
      gtk_icon_theme_lookup_icon(gtk_icon_theme_get_default(), blank.name.c_str(), 22, {});
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(gtk_icon_info_get_filename(found), blank.themePath + "/" + blank.name + ".png");
  g_object_unref(found);
  spin(std::chrono::seconds(1));  // the fallback sets in; it used to read out of bounds
  const auto pixels = Gdk::Pixbuf::create_from_file(blank.themePath + "/" + blank.name + ".png");
  ASSERT_TRUE(pixels->get_has_alpha());
  for (int row = 0; row < pixels->get_height(); ++row)
    for (int column = 0; column < pixels->get_width(); ++column)
      EXPECT_EQ(pixels->get_pixels()[row * pixels->get_rowstride() + column * 4 + 3], 0)
          << row << "," << column;

  const auto emoji = [&](const char* codes) {
    return blank.themePath + "/stratovane-emoji-" + codes + ".png";
  };
  const struct {
    gtk::PanelLook look;
    const char* title;
    std::string icon;
    const char* label;
  } steps[] = {
      {gtk::PanelLook::label, "\u23F1 Fetching...", emoji("23f1"), "Fetching..."},
      {gtk::PanelLook::label, "\u2600\uFE0F  21\u00B0", emoji("2600-fe0f"), "21\u00B0"},
      {gtk::PanelLook::label, "21\u00B0", blank.name, "21\u00B0"},  // no emoji: today's look
      {gtk::PanelLook::iconOnly, "21\u00B0", emoji("2600-fe0f"), "21\u00B0"},
      {gtk::PanelLook::iconOnly, "\u26A0\uFE0F Offline", emoji("26a0-fe0f"), "Offline"},
      {gtk::PanelLook::label, "\u26A0\uFE0F Offline", emoji("26a0-fe0f"), "Offline"},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.title);
    item->setLook(step.look);
    item->setTitle(step.title);
    EXPECT_EQ(item->title(), step.title);
    EXPECT_EQ(std::string(app_indicator_get_icon(item->indicator())), step.icon);
    EXPECT_EQ(item->label(), step.label);
    EXPECT_STREQ(app_indicator_get_title(item->indicator()), step.title);
  }
  spin(std::chrono::seconds(1));  // the fallback shows the emoji's file, unwarned
}

TEST_F(IndicatorStatusItemTest,
       TheGtkMenuFollowsTheLatestMenuInOneRebuildPerBurstAndRunsActionsLater) {
  auto earlier = std::make_shared<Menu>();
  auto menu = std::make_shared<Menu>();
  item->setMenu(earlier);
  item->setMenu(menu);
  EXPECT_EQ(item->menu(), menu);
  earlier->addItem(command("let go of"));
  menu->addItem(MenuItem::separatorItem());
  menu->addItem(command("Update forecast"));
  MenuItem disabled = command("\u2600\uFE0F 14:00: clear sky : 21 \u00B0");
  disabled.enabled = false;
  menu->addItem(disabled);
  drain();
  EXPECT_EQ(entries(),
            (std::vector<std::string>{"---", "Update forecast",
                                      "(off)\u2600\uFE0F 14:00: clear sky : 21 \u00B0"}));
  EXPECT_EQ(app_indicator_get_menu(item->indicator()), item->gtkMenu().gobj());

  int inserted = 0;
  const gulong handler = g_signal_connect_swapped(
      item->gtkMenu().gobj(), "insert", G_CALLBACK(+[](int* count) { ++*count; }), &inserted);
  menu->removeAllItems();
  for (int i = 0; i < 20; ++i) menu->addItem(command("entry " + std::to_string(i)));
  EXPECT_EQ(entries().size(), 3u) << "rebuilt before the main loop ran";
  drain();
  g_signal_handler_disconnect(item->gtkMenu().gobj(), handler);
  EXPECT_EQ(inserted, 20);  // one rebuild; one per change would insert 210 entries
  ASSERT_EQ(entries().size(), 20u);
  EXPECT_EQ(entries().back(), "entry 19");
  for (Gtk::Widget* child : item->gtkMenu().get_children()) EXPECT_TRUE(child->get_visible());

  // Like the application's commands: the action rebuilds the very menu it was chosen from, which
  // destroys the activated entry.
  menu->removeAllItems();
  int runs = 0;
  menu->addItem(command("Update forecast", [&] {
    ++runs;
    menu->removeAllItems();
    menu->addItem(command("after"));
  }));
  drain();
  entryAt(0).activate();
  drain();
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(entries(), std::vector<std::string>{"after"});

  // The entry is gone by the time its action runs.
  menu->removeAllItems();
  menu->addItem(command("once", [&] { ++runs; }));
  drain();
  entryAt(0).activate();
  menu->removeAllItems();
  drain();
  EXPECT_EQ(runs, 2);
  EXPECT_TRUE(entries().empty());

  // The menu outlives the item: later changes must not reach the destroyed item.
  item.reset();
  menu->addItem(command("late"));
  drain();
}

}  // namespace
}  // namespace stratovane
