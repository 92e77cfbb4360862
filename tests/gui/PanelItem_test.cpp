// The panel item on a real indicator: its emoji icon, its label and the GtkMenu built from the menu
// data; and finding the panel host, and how the item is drawn, from the program that owns the
// StatusNotifier watcher.
#include <gdkmm/pixbuf.h>
#include <gtkmm/menuitem.h>
#include <gtkmm/separatormenuitem.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "GuiTest.h"
#include "PrivateBus.h"
#include "platform/gtk/EmojiIcon.h"
#include "platform/gtk/IndicatorStatusItem.h"
#include "platform/system/BlankIcon.h"
#include "platform/system/Emoji.h"
#include "platform/system/PanelHostProbe.h"
#include "platform/system/PanelHostWatch.h"

namespace stratovane {
namespace {

using gtk::EmojiIcon;
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
    blank = BlankIcon::install();
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

  BlankIcon blank;
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
    PanelLook look;
    const char* title;
    std::string icon;
    const char* label;
  } steps[] = {
      {PanelLook::label, "\u23F1 Fetching...", emoji("23f1"), "Fetching..."},
      {PanelLook::label, "\u2600\uFE0F  21\u00B0", emoji("2600-fe0f"), "21\u00B0"},
      {PanelLook::label, "21\u00B0", blank.name, "21\u00B0"},  // no emoji: today's look
      {PanelLook::iconOnly, "21\u00B0", emoji("2600-fe0f"), "21\u00B0"},
      {PanelLook::iconOnly, "\u26A0\uFE0F Offline", emoji("26a0-fe0f"), "Offline"},
      {PanelLook::label, "\u26A0\uFE0F Offline", emoji("26a0-fe0f"), "Offline"},
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

  // Drawn in colour, at its size, and not again while the emoji stays.
  const auto sun = Gdk::Pixbuf::create_from_file(emoji("2600-fe0f"));
  EXPECT_EQ(sun->get_width(), EmojiIcon::kSize);
  EXPECT_EQ(sun->get_height(), EmojiIcon::kSize);
  // The middle of the sun is an opaque yellow.
  const guint8* middle = sun->get_pixels() + EmojiIcon::kSize / 2 * sun->get_rowstride() +
                         EmojiIcon::kSize / 2 * sun->get_n_channels();
  EXPECT_TRUE(middle[3] == 255 && middle[0] > 200 && middle[1] > 150 && middle[2] < 100)
      << int(middle[0]) << "," << int(middle[1]) << "," << int(middle[2]) << "," << int(middle[3]);
  struct stat before {
  }, after{};
  ASSERT_EQ(::stat(emoji("26a0-fe0f").c_str(), &before), 0);
  item->setTitle("\u26A0\uFE0F No API key");
  ASSERT_EQ(::stat(emoji("26a0-fe0f").c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino) << "redrawn without a change";
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

  // The entry is gone by the time its action runs.
  int runs = 0;
  menu->removeAllItems();
  menu->addItem(command("once", [&] { ++runs; }));
  drain();
  entryAt(0).activate();
  menu->removeAllItems();
  drain();
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(entries().empty());

  // The menu outlives the item: later changes must not reach the destroyed item.
  item.reset();
  menu->addItem(command("late"));
  drain();
}

TEST(LeadingEmojiTest, IsTheFirstGraphemeWhenItIsPictographic) {
  const std::pair<const char*, const char*> cases[] = {
      {"\u2600\uFE0F 21\u00B0 clear sky", "\u2600\uFE0F"},  // with its presentation selector
      {"\u23F1 Fetching...", "\u23F1"},
      {"\U0001F327\uFE0F 9\u00B0", "\U0001F327\uFE0F"},
      {"\U0001F3F3\uFE0F\u200D\U0001F308x", "\U0001F3F3\uFE0F\u200D\U0001F308"},  // a sequence
      {"1\uFE0F\u20E3 keycap", ""},  // emoji, but not a pictograph
      {"21\u00B0", ""},
      {"\xF0\x9F", ""},  // cut-off UTF-8
  };
  for (const auto& [title, emoji] : cases) EXPECT_EQ(leadingEmoji(title), emoji) << title;
}

using PanelHostTest = testing::GuiTest;

// Whether a host is there, and how it draws the item, decided from the program that owns the
// watcher.
TEST_F(PanelHostTest, TheProbeAnswersLaterWhetherAWatcherIsOnTheBusAndEachOwnerDecidesTheLook) {
  ASSERT_FALSE(PanelHostProbe::xembedTrayPresent()) << "the test display has a tray of its own";
  const auto ask = [](PanelHostProbe& probe) {
    std::optional<bool> answer;
    probe.check([&](bool watcher, bool xembedTray) { answer = watcher || xembedTray; });
    EXPECT_FALSE(answer.has_value()) << "answered from inside the call";
    EXPECT_TRUE(waitUntil([&] { return answer.has_value(); }));
    return answer;
  };
  PanelHostProbe busless(nullptr);
  EXPECT_EQ(ask(busless), false);
  testing::PrivateBus bus;
  PanelHostProbe probe(bus.connection()->gobj());
  EXPECT_EQ(ask(probe), false);
  std::optional<PanelLook> look;
  std::string owner;  // what the watch learns the owning process runs
  PanelHostWatch watch(
      bus.connection()->gobj(), [&](PanelLook told) { look = told; },
      [&](unsigned pid) { return pid == static_cast<unsigned>(getpid()) ? owner : "?"; });
  const auto nextLook = [&] {
    look.reset();
    EXPECT_TRUE(waitUntil([&] { return look.has_value(); }));
    return look;
  };
  EXPECT_EQ(nextLook(), PanelLook::iconOnly) << "no watcher: the XEmbed fallback";

  // Names are matched whole or as the kernel cuts them: /proc/PID/comm keeps 15 characters.
  const std::pair<const char*, PanelLook> owners[] = {
      {"gnome-shell", PanelLook::label},
      {"plasmashell", PanelLook::iconOnly},
      {"ayatana-indicator-application-service", PanelLook::label},
      {"ayatana-indicat", PanelLook::label},
      {"indicator-application-service", PanelLook::label},
      {"waybar", PanelLook::iconOnly},
      {"xfce4-panel", PanelLook::iconOnly},  // its own tray draws no labels
      {"gnome-shel", PanelLook::iconOnly},
      {"gnome-shell-calendar-server", PanelLook::iconOnly},
      {"", PanelLook::iconOnly}};
  for (const auto& [program, expected] : owners) {
    SCOPED_TRACE(program);
    owner = program;
    // A connection of its own, so that closing it hands the watcher's name back.
    const auto panel = bus.connect();
    {
      testing::FakePanelHost host(panel);
      EXPECT_EQ(nextLook(), expected);
      EXPECT_EQ(ask(probe), true);
    }
    panel->close_sync();  // the panel ends
    EXPECT_EQ(nextLook(), PanelLook::iconOnly) << "after the panel ended";
  }

  // A probe gone before the answer calls nobody.
  bool called = false;
  PanelHostProbe(bus.connection()->gobj()).check([&](bool, bool) { called = true; });
  spin(std::chrono::milliseconds(300));
  EXPECT_FALSE(called);
  EXPECT_EQ(PanelHostWatch::programOfProcess(getpid()), "gui_tests");
  EXPECT_EQ(PanelHostWatch::programOfProcess(0x7ffffffe), "");
}

}  // namespace
}  // namespace stratovane
