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

TEST(PanelLookTest, OnlyHostsKnownToDrawLabelsGetTheLabel) {
  const struct {
    const char* program;
    PanelLook look;
  } cases[] = {
      {"gnome-shell", PanelLook::label},
      {"ayatana-indicator-application-service", PanelLook::label},
      {"ayatana-indicat", PanelLook::label},  // the kernel's short name of the same
      {"indicator-application-service", PanelLook::label},
      {"indicator-appli", PanelLook::label},
      {"plasmashell", PanelLook::iconOnly},
      {"waybar", PanelLook::iconOnly},
      {"xfce4-panel", PanelLook::iconOnly},  // its own tray draws no labels
      {"wrapper-2.0", PanelLook::iconOnly},
      {"gnome-shell-calendar-server", PanelLook::iconOnly},
      {"gnome-shel", PanelLook::iconOnly},  // a prefix shorter than the kernel cuts to
      {"ayatana-indicator-application-servic", PanelLook::iconOnly},
      {"", PanelLook::iconOnly},
  };
  for (const auto& c : cases) EXPECT_EQ(gtk::panelLookFor(c.program), c.look) << c.program;
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

TEST_F(PanelHostWatchTest, WithoutABusTheXEmbedFallbackDrawsIcons) {
  gtk::PanelHostWatch watch({}, [&](PanelLook told) { look = told; });
  EXPECT_EQ(nextLook(), PanelLook::iconOnly);
}

TEST(PanelHostWatchProgramTest, TheProgramOfAProcessIsItsExecutablesName) {
  EXPECT_EQ(gtk::PanelHostWatch::programOfProcess(getpid()), "gui_tests");
  EXPECT_EQ(gtk::PanelHostWatch::programOfProcess(0x7ffffffe), "");
}

}  // namespace
}  // namespace stratovane
