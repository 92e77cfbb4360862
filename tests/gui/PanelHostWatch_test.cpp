// How the item is drawn, decided from the program that owns the StatusNotifier watcher.
#include "platform/gtk/PanelHostWatch.h"

#include <unistd.h>

#include <optional>
#include <string>

#include "FakePanelHost.h"
#include "GuiTest.h"
#include "PrivateBus.h"

namespace stratovane {
namespace {

using gtk::PanelLook;

TEST(PanelLookTest, NamesAreMatchedWholeOrAsTheKernelCutsThem) {
  const std::pair<const char*, PanelLook> cases[] = {
      {"ayatana-indicat", PanelLook::label},  // /proc/PID/comm keeps 15 characters
      {"indicator-application-service", PanelLook::label},
      {"xfce4-panel", PanelLook::iconOnly},  // its own tray draws no labels
      {"gnome-shel", PanelLook::iconOnly},
      {"gnome-shell-calendar-server", PanelLook::iconOnly},
  };
  for (const auto& [program, look] : cases) EXPECT_EQ(gtk::panelLookFor(program), look) << program;
}

using PanelHostWatchTest = testing::GuiTest;

TEST_F(PanelHostWatchTest, EachWatcherOwnerDecidesTheLookAgain) {
  testing::PrivateBus bus;
  std::optional<PanelLook> look;
  std::string owner;  // what the watch learns the owning process runs
  gtk::PanelHostWatch watch(
      bus.connection(), [&](PanelLook told) { look = told; },
      [&](unsigned pid) { return pid == static_cast<unsigned>(getpid()) ? owner : "?"; });
  const auto nextLook = [&] {
    look.reset();
    EXPECT_TRUE(waitUntil([&] { return look.has_value(); }));
    return look;
  };
  EXPECT_EQ(nextLook(), PanelLook::iconOnly) << "no watcher: the XEmbed fallback";

  const std::pair<const char*, PanelLook> owners[] = {
      {"gnome-shell", PanelLook::label},
      {"plasmashell", PanelLook::iconOnly},
      {"ayatana-indicator-application-service", PanelLook::label},
      {"waybar", PanelLook::iconOnly},
      {"gnome-shell", PanelLook::label},
      {"", PanelLook::iconOnly}};
  for (const auto& [program, expected] : owners) {
    owner = program;
    // A connection of its own, so that closing it hands the watcher's name back.
    const auto panel = Gio::DBus::Connection::create_for_address_sync(
        bus.address(), Gio::DBus::CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                           Gio::DBus::CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION);
    {
      testing::FakePanelHost host(panel);
      EXPECT_EQ(nextLook(), expected) << program;
    }
    panel->close_sync();  // the panel ends
    EXPECT_EQ(nextLook(), PanelLook::iconOnly) << "after " << program;
  }
}

TEST(PanelHostWatchProgramTest, TheProgramOfAProcessIsItsExecutablesName) {
  EXPECT_EQ(gtk::PanelHostWatch::programOfProcess(getpid()), "gui_tests");
  EXPECT_EQ(gtk::PanelHostWatch::programOfProcess(0x7ffffffe), "");
}

}  // namespace
}  // namespace stratovane
