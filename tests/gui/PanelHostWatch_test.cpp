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

class PanelHostWatchTest : public testing::GuiTest {
 protected:
  // A connection of its own, so that closing it hands the watcher's name back.
  Glib::RefPtr<Gio::DBus::Connection> connect() {
    return Gio::DBus::Connection::create_for_address_sync(
        bus.address(), Gio::DBus::CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                           Gio::DBus::CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION);
  }

  // Waits for the next look the watch tells.
  std::optional<PanelLook> nextLook() {
    look.reset();
    EXPECT_TRUE(waitUntil([&] { return look.has_value(); }));
    return look;
  }

  testing::PrivateBus bus;
  std::optional<PanelLook> look;
  std::string owner;  // what the watch learns the owning process runs
  unsigned askedPid = 0;
};

TEST_F(PanelHostWatchTest, EachWatcherOwnerDecidesTheLookAgain) {
  gtk::PanelHostWatch watch(
      bus.connection(), [&](PanelLook told) { look = told; },
      [&](unsigned pid) {
        askedPid = pid;
        return owner;
      });
  EXPECT_EQ(nextLook(), PanelLook::iconOnly) << "no watcher: the XEmbed fallback";

  const struct {
    const char* program;
    PanelLook look;
  } owners[] = {{"gnome-shell", PanelLook::label},
                {"plasmashell", PanelLook::iconOnly},
                {"ayatana-indicator-application-service", PanelLook::label},
                {"waybar", PanelLook::iconOnly},
                {"gnome-shell", PanelLook::label},
                {"", PanelLook::iconOnly}};
  for (const auto& next : owners) {
    owner = next.program;
    const Glib::RefPtr<Gio::DBus::Connection> panel = connect();
    {
      testing::FakePanelHost host(panel);
      EXPECT_EQ(nextLook(), next.look) << next.program;
      EXPECT_EQ(askedPid, static_cast<unsigned>(getpid()));
    }
    panel->close_sync();  // the panel ends
    EXPECT_EQ(nextLook(), PanelLook::iconOnly) << "after " << next.program;
  }
}

TEST(PanelHostWatchProgramTest, TheProgramOfAProcessIsItsExecutablesName) {
  EXPECT_EQ(gtk::PanelHostWatch::programOfProcess(getpid()), "gui_tests");
  EXPECT_EQ(gtk::PanelHostWatch::programOfProcess(0x7ffffffe), "");
}

}  // namespace
}  // namespace stratovane
