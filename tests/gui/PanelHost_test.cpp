// Finding the panel host: a StatusNotifier watcher on the bus or an XEmbed tray on the display,
// and how the item is drawn, decided from the program that owns the watcher.
#include <unistd.h>

#include <optional>
#include <string>

#include "FakePanelHost.h"
#include "GuiTest.h"
#include "PrivateBus.h"
#include "platform/gtk/PanelHostProbe.h"
#include "platform/gtk/PanelHostWatch.h"

namespace stratovane {
namespace {

using gtk::PanelHostProbe;
using gtk::PanelLook;

using PanelHostTest = testing::GuiTest;

TEST_F(PanelHostTest, TheProbeAnswersLaterWhetherAWatcherIsOnTheBus) {
  ASSERT_FALSE(PanelHostProbe::xembedTrayPresent()) << "the test display has a tray of its own";
  const auto ask = [](PanelHostProbe& probe) {
    std::optional<bool> answer;
    probe.check([&](bool hostPresent) { answer = hostPresent; });
    EXPECT_FALSE(answer.has_value()) << "answered from inside the call";
    EXPECT_TRUE(waitUntil([&] { return answer.has_value(); }));
    return answer;
  };
  PanelHostProbe busless({});
  EXPECT_EQ(ask(busless), false);
  testing::PrivateBus bus;
  PanelHostProbe probe(bus.connection());
  EXPECT_EQ(ask(probe), false);
  {
    testing::FakePanelHost host(bus.connection());
    EXPECT_EQ(ask(probe), true);
  }
  // A probe gone before the answer calls nobody.
  bool called = false;
  PanelHostProbe(bus.connection()).check([&](bool) { called = true; });
  spin(std::chrono::milliseconds(300));
  EXPECT_FALSE(called);
}

TEST(PanelHostWatchProgramTest, TheProgramOfAProcessIsItsExecutablesName) {
  EXPECT_EQ(gtk::PanelHostWatch::programOfProcess(getpid()), "gui_tests");
  EXPECT_EQ(gtk::PanelHostWatch::programOfProcess(0x7ffffffe), "");
}

TEST_F(PanelHostTest, EachWatcherOwnerDecidesTheLookAgain) {
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

  // Names are matched whole or as the kernel cuts them: /proc/PID/comm keeps 15 characters.
  const std::pair<const char*, PanelLook> owners[] = {
      {"gnome-shell", PanelLook::label},
      {"plasmashell", PanelLook::iconOnly},
      {"ayatana-indicator-application-service", PanelLook::label},
      {"ayatana-indicat", PanelLook::label},
      {"indicator-application-service", PanelLook::label},
      {"waybar", PanelLook::iconOnly},
      {"xfce4-panel", PanelLook::iconOnly},  // its own tray draws no labels
      {"gnome-shell", PanelLook::label},
      {"gnome-shel", PanelLook::iconOnly},
      {"gnome-shell-calendar-server", PanelLook::iconOnly},
      {"", PanelLook::iconOnly}};
  for (const auto& [program, expected] : owners) {
    SCOPED_TRACE(program);
    owner = program;
    // A connection of its own, so that closing it hands the watcher's name back.
    const auto panel = Gio::DBus::Connection::create_for_address_sync(
        bus.address(), Gio::DBus::CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                           Gio::DBus::CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION);
    {
      testing::FakePanelHost host(panel);
      EXPECT_EQ(nextLook(), expected);
    }
    panel->close_sync();  // the panel ends
    EXPECT_EQ(nextLook(), PanelLook::iconOnly) << "after the panel ended";
  }
}

}  // namespace
}  // namespace stratovane
