// The panel item on D-Bus alone, read and clicked by fake panels on a private bus: registration
// with each watcher, properties and signals, the menu's layout and events, odd requests.
#include <sys/stat.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "GuiTest.h"
#include "PrivateBus.h"
#include "platform/system/BlankIcon.h"
#include "platform/system/EmojiIconDrawer.h"
#include "platform/system/NotifierStatusItem.h"

namespace stratovane {
namespace {

using testing::FakePanelHost;
using testing::PrivateBus;

const std::string kHelper = std::string(STRATOVANE_BUILD_DIR) + "/private/stratovane-emoji";

// Counts the signals of `sender` as a host that subscribed to them sees them.
struct SignalLog {
  SignalLog(const Glib::RefPtr<Gio::DBus::Connection>& bus, const std::string& sender) : bus_(bus) {
    subscription_ = g_dbus_connection_signal_subscribe(
        bus_->gobj(), sender.c_str(), nullptr, nullptr, nullptr, nullptr, G_DBUS_SIGNAL_FLAGS_NONE,
        [](GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* name, GVariant*,
           gpointer log) { static_cast<SignalLog*>(log)->names.emplace_back(name); },
        this, nullptr);
    // The bus has the match rule once it has answered a later call.
    bus_->call_sync("/org/freedesktop/DBus", "org.freedesktop.DBus", "GetId", {},
                    "org.freedesktop.DBus");
  }
  ~SignalLog() { g_dbus_connection_signal_unsubscribe(bus_->gobj(), subscription_); }
  int count(const std::string& name) const {
    return static_cast<int>(std::count(names.begin(), names.end(), name));
  }

  Glib::RefPtr<Gio::DBus::Connection> bus_;
  guint subscription_ = 0;
  std::vector<std::string> names;
};

// A StatusItem that only records, standing in for the toolkit's.
struct RecordingItem : StatusItem {
  bool hasButton() const override { return true; }
  void setTitle(const std::string& title) override { titles.push_back(title); }
  std::string title() const override { return titles.empty() ? "" : titles.back(); }
  void setMenu(std::shared_ptr<Menu> menu) override { menu_ = std::move(menu); }
  std::shared_ptr<Menu> menu() const override { return menu_; }
  std::vector<std::string> titles;
  std::shared_ptr<Menu> menu_;
};

class NotifierItemTest : public testing::GuiTest {
 protected:
  void TearDown() override {
    item.reset();
    GuiTest::TearDown();
  }
  void makeItem(const std::string& helper = kHelper) {
    item.reset();  // its objects leave the bus first
    item = std::make_unique<NotifierStatusItem>(itemBus->gobj(), blank, helper,
                                                [this](unsigned) { return owner; });
  }
  std::string emojiIcon(const char* codes) const {
    return blank.themePath + "/stratovane-emoji-" + codes + ".png";
  }
  static std::string quoted(const std::string& text) { return "'" + text + "'"; }

  testing::TempDir icons;  // of this test alone: each run draws them afresh
  PrivateBus bus;
  Glib::RefPtr<Gio::DBus::Connection> itemBus = bus.connect();
  BlankIcon blank{icons.path().string(), "stratovane-blank"};
  std::string owner = "gnome-shell";  // the program the watcher's owner runs
  std::unique_ptr<NotifierStatusItem> item;
};

TEST_F(NotifierItemTest, RegistersWithEveryWatcherOwnerAndShowsTitleLabelIconAndTooltip) {
  makeItem();
  item->setTitle("\u23F1 Fetching...");
  spin(std::chrono::milliseconds(200));
  EXPECT_EQ(item->item()->registrations(), 0) << "no watcher yet";

  // A watcher that never answers holds nothing up; its successor gets the item.
  const auto silent = bus.connect();
  silent->add_filter([](const Glib::RefPtr<Gio::DBus::Connection>&,
                        const Glib::RefPtr<Gio::DBus::Message>& message, bool incoming) {
    return incoming && message->get_member() == "RegisterStatusNotifierItem"
               ? Glib::RefPtr<Gio::DBus::Message>()
               : message;
  });
  testing::ownName(silent, StatusNotifierItem::kWatcher);
  spin(std::chrono::milliseconds(300));
  silent->close_sync();

  auto panel = bus.connect();
  auto host = std::make_unique<FakePanelHost>(panel);
  ASSERT_TRUE(waitUntil([&] { return host->hasItem(); }));
  // Drawn once by the helper; the title waited for it, so icon and label change together.
  ASSERT_TRUE(waitUntil([&] { return host->property("Title") == "\u23F1 Fetching..."; }));
  EXPECT_EQ(host->property("IconName"), emojiIcon("23f1"));
  EXPECT_EQ(host->property("XAyatanaLabel"), "Fetching...");
  for (const auto& [name, printed] : std::vector<std::pair<const char*, std::string>>{
           {"Category", "'ApplicationStatus'"},
           {"Id", "'stratovane'"},
           {"Status", "'Active'"},
           {"ItemIsMenu", "true"},
           {"IconThemePath", quoted(blank.themePath)},
           {"Menu", "'/org/ayatana/NotificationItem/stratovane/Menu'"},
           {"ToolTip", "('', [], '\u23F1 Fetching...', '')"},
           {"XAyatanaLabelGuide", "''"}}) {
    EXPECT_EQ(host->printedProperty(name), printed) << name;
  }
  EXPECT_NE(host->printedProperty("NoSuchProperty").find("InvalidArgs"), std::string::npos);
  // A 64-pixel square PNG.
  std::ifstream png(emojiIcon("23f1"), std::ios::binary);
  std::string header(24, '\0');
  png.read(header.data(), 24);
  EXPECT_EQ(header.substr(1, 3), "PNG");
  EXPECT_EQ(header.substr(16, 8), std::string("\0\0\0\x40\0\0\0\x40", 8));

  // Each change is signalled once, to every host that listens.
  const struct {
    const char* title;
    std::string icon;
    const char* label;
    std::string owner;
  } steps[] = {
      {"\u2600\uFE0F  21\u00B0", emojiIcon("2600-fe0f"), "21\u00B0", "gnome-shell"},
      {"21\u00B0", blank.name, "21\u00B0", "gnome-shell"},         // no emoji: the blank icon
      {"22\u00B0", emojiIcon("2600-fe0f"), "22\u00B0", "waybar"},  // icon-only: the last emoji
      {"\u26A0\uFE0F Offline", emojiIcon("26a0-fe0f"), "Offline", "waybar"},
  };
  auto log = std::make_unique<SignalLog>(bus.connect(), itemBus->get_unique_name());
  for (const auto& step : steps) {
    SCOPED_TRACE(step.title);
    if (step.owner != owner) {
      // The panel restarts as another program: the item registers again, in the new look.
      owner = step.owner;
      host.reset();
      panel->close_sync();
      panel = bus.connect();
      host = std::make_unique<FakePanelHost>(panel);
      ASSERT_TRUE(waitUntil([&] { return host->registrations() == 1; }));
      spin(std::chrono::milliseconds(100));
    }
    item->setTitle(step.title);
    EXPECT_TRUE(waitUntil([&] { return host->property("Title") == step.title; }));
    EXPECT_EQ(host->property("IconName"), step.icon);
    EXPECT_EQ(host->property("XAyatanaLabel"), step.label);
  }
  spin(std::chrono::milliseconds(200));  // the log's connection is another one
  EXPECT_EQ(log->count("NewTitle"), 4);
  EXPECT_EQ(log->count("NewToolTip"), 4);
  EXPECT_EQ(log->count("XAyatanaNewLabel"), 3);  // "21°" twice
  EXPECT_EQ(log->count("NewIcon"), 4);  // the sun, blank, the sun again on the icon-only host
  log = std::make_unique<SignalLog>(panel, itemBus->get_unique_name());
  item->setTitle("\u26A0\uFE0F Offline");
  spin(std::chrono::milliseconds(200));
  EXPECT_TRUE(log->names.empty()) << "the same title again sends nothing";
  EXPECT_EQ(item->item()->registrations(), 2);  // the first panel and the restarted one
}

TEST_F(NotifierItemTest, MenuLayoutToEveryListenerEventsAndOddRequests) {
  makeItem();
  FakePanelHost host(bus.connect());
  ASSERT_TRUE(waitUntil([&] { return host.hasItem(); }));
  int updates = 0, quits = 0;
  auto menu = std::make_shared<Menu>();
  item->setMenu(menu);
  EXPECT_EQ(item->menu(), menu);
  // Heard on a connection of its own: every host is told.
  SignalLog log(bus.connect(), itemBus->get_unique_name());
  menu->addItem(MenuItem::separatorItem());
  menu->addItem({"Update forecast", [&] { ++updates; }});
  menu->addItem({"\u2600\uFE0F 14:00: clear sky", [&] { ++updates; }, false, false});
  menu->addItem({"snow_rain", {}});
  menu->addItem({"Quit", [&] { ++quits; }});
  ASSERT_TRUE(waitUntil([&] { return !host.menu().empty(); }));
  EXPECT_TRUE(waitUntil([&] { return log.count("LayoutUpdated") > 0; }));
  spin(std::chrono::milliseconds(100));
  EXPECT_EQ(log.count("LayoutUpdated"), 1) << "one layout for the burst";
  EXPECT_EQ(host.menu(),
            (std::vector<std::string>{"---", "Update forecast",
                                      "(off)\u2600\uFE0F 14:00: clear sky", "snow__rain", "Quit"}));
  const auto entries = host.entries();
  const int update = entries.at(1).first, disabled = entries.at(2).first;

  // The action runs later, once; a disabled entry does nothing.
  ASSERT_TRUE(host.click("Update forecast"));
  ASSERT_TRUE(host.click("(off)\u2600\uFE0F 14:00: clear sky"));
  EXPECT_TRUE(waitUntil([&] { return updates == 1; }));
  spin(std::chrono::milliseconds(100));
  EXPECT_EQ(updates, 1);

  // After a rebuild the old ids are gone: an event for one finds nothing.
  menu->removeAllItems();
  menu->addItem({"Quit", [&] { ++quits; }});
  ASSERT_TRUE(waitUntil([&] { return host.menu() == std::vector<std::string>{"Quit"}; }));
  EXPECT_TRUE(waitUntil([&] { return log.count("LayoutUpdated") == 2; }));
  const int quit = host.entries().at(0).first;
  const auto event = [](int id) {
    return g_variant_new("(isvu)", id, "clicked", g_variant_new_int32(0), 0u);
  };
  const std::string unknown = "error: GDBus.Error:org.freedesktop.DBus.Error.InvalidArgs: ";
  EXPECT_EQ(host.callMenu("Event", event(update)),
            unknown + "no menu entry with id " + std::to_string(update));
  const struct {
    const char* method;
    GVariant* arguments;
    std::string reply;
  } requests[] = {
      {"GetLayout", g_variant_new("(iias)", 0, 0, nullptr),
       "(2, (0, {'children-display': <'submenu'>}, []))"},
      {"GetLayout", g_variant_new("(iias)", quit, -1, nullptr),
       "(2, (" + std::to_string(quit) + ", {'label': <'Quit'>, 'enabled': <true>}, []))"},
      {"GetLayout", g_variant_new("(iias)", disabled, 1, nullptr),
       unknown + "no menu entry with id " + std::to_string(disabled)},
      {"GetProperty", g_variant_new("(is)", quit, "label"), "(<'Quit'>,)"},
      {"GetProperty", g_variant_new("(is)", quit, "icon-name"),
       unknown + "no property icon-name for id " + std::to_string(quit)},
      {"GetGroupProperties", g_variant_new_parsed("([%i, 77777], ['enabled'])", quit),
       "([(" + std::to_string(quit) + ", {'enabled': <true>})],)"},
      {"EventGroup",
       g_variant_new_parsed("([(%i, 'clicked', <0>, uint32 0), (%i, 'clicked', <''>, "
                            "uint32 5), (-3, 'hovered', <0>, uint32 0)],)",
                            update, quit),
       "([" + std::to_string(update) + ", -3],)"},
      {"Event", g_variant_new("(isvu)", quit, "opened", g_variant_new_int32(0), 0u), "()"},
      {"Event", g_variant_new("(isvu)", 0, "closed", g_variant_new_int32(0), 0u), "()"},
      {"AboutToShow", g_variant_new("(i)", 0), "(false,)"},
      {"AboutToShow", g_variant_new("(i)", -7), unknown + "no menu entry with id -7"},
      {"AboutToShowGroup", g_variant_new_parsed("([0, 99999],)"), "([], [99999])"},
  };
  for (const auto& request : requests)
    EXPECT_EQ(host.callMenu(request.method, request.arguments), request.reply) << request.method;
  // GDBus refuses arguments of other types before the menu sees them.
  EXPECT_NE(host.callMenu("GetLayout", g_variant_new("(s)", "odd")).find("InvalidArgs"),
            std::string::npos);
  EXPECT_TRUE(waitUntil([&] { return quits == 1; }));
  spin(std::chrono::milliseconds(100));
  EXPECT_EQ(quits, 1) << "only the event for the current entry ran";
  EXPECT_EQ(updates, 1);

  // Clicks, scrolls and menus asked of the item itself have nothing to do, whatever they carry.
  for (const char* method : {"Activate", "SecondaryActivate", "ContextMenu"}) {
    EXPECT_EQ(host.callItem(method, g_variant_new("(ii)", -1, G_MAXINT32)), "()") << method;
    EXPECT_EQ(host.callItem(method, g_variant_new("(ii)", 0, 0)), "()") << method;
  }
  EXPECT_EQ(host.callItem("Scroll", g_variant_new("(is)", G_MININT32, "diagonal")), "()");
  EXPECT_NE(host.callItem("Scroll", g_variant_new("(ii)", 1, 2)).find("InvalidArgs"),
            std::string::npos);
  EXPECT_EQ(host.callItem("Explode", nullptr).rfind("error:", 0), 0u);

  // The menu outlives the item: later changes must not reach the destroyed item.
  item.reset();
  menu->addItem({"late", {}});
  drain();
}

TEST_F(NotifierItemTest,
       AnEmojiThatCannotBeDrawnLeavesTheTitleAsTheLabelAndHandingOverLeavesTheBus) {
  makeItem("/nonexistent/stratovane-emoji");
  FakePanelHost host(bus.connect());
  ASSERT_TRUE(waitUntil([&] { return host.hasItem(); }));
  item->setTitle("\u2744\uFE0F -3\u00B0");
  EXPECT_TRUE(waitUntil([&] { return host.property("Title") == "\u2744\uFE0F -3\u00B0"; }));
  EXPECT_EQ(host.property("XAyatanaLabel"), "\u2744\uFE0F -3\u00B0");
  EXPECT_EQ(host.property("IconName"), blank.name);
  // An icon drawn earlier in the session is used without the helper.
  makeItem(kHelper);
  item->setTitle("\u2744\uFE0F -4\u00B0");
  ASSERT_TRUE(waitUntil([&] { return host.property("Title") == "\u2744\uFE0F -4\u00B0"; }));
  struct stat drawn {};
  ASSERT_EQ(::stat(emojiIcon("2744-fe0f").c_str(), &drawn), 0);
  makeItem("/nonexistent/stratovane-emoji");
  item->setTitle("\u2744\uFE0F -5\u00B0");
  ASSERT_TRUE(waitUntil([&] { return host.property("XAyatanaLabel") == "-5\u00B0"; }));
  EXPECT_EQ(host.property("IconName"), emojiIcon("2744-fe0f"));

  auto menu = std::make_shared<Menu>();
  item->setMenu(menu);
  const auto toolkit = std::make_shared<RecordingItem>();
  item->handOver(toolkit);
  EXPECT_EQ(item->item(), nullptr);
  EXPECT_EQ(toolkit->titles, std::vector<std::string>{"\u2744\uFE0F -5\u00B0"});
  EXPECT_EQ(toolkit->menu(), menu);
  item->setTitle("later");
  EXPECT_EQ(toolkit->title(), "later");
  EXPECT_NE(host.printedProperty("Title").find("UnknownMethod"), std::string::npos)
      << host.printedProperty("Title");
  EXPECT_EQ(host.callMenu("GetLayout", g_variant_new("(iias)", 0, -1, nullptr)).rfind("error", 0),
            0u);
}

}  // namespace
}  // namespace stratovane
