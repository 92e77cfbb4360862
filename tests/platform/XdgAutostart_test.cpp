// The autostart entry: what counts as on, writing and removing it, and the folder it needs.
#include "platform/system/XdgAutostart.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "support/TempDir.h"

namespace stratovane {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TempDir;

struct EntryCase {
  const char* contents;
  bool enabled;
};

TEST(XdgAutostartTest, AnEntryTurnedOffByTheDesktopOrDamagedCountsAsOff) {
  const EntryCase cases[] = {
      {kAutostartEntry, true},
      {"[Desktop Entry]\nType=Application\nExec=stratovane\n", true},
      {"[Desktop Entry]\nExec=stratovane\nHidden=true\n", false},
      {"[Desktop Entry]\nExec=stratovane\nHidden=false\n", true},
      {"[Desktop Entry]\nExec=stratovane\nX-GNOME-Autostart-enabled=false\n", false},
      {"[Desktop Entry]\nExec=stratovane\nX-GNOME-Autostart-enabled=maybe\n", true},
      {"[Other]\nExec=stratovane\n", false},
      {"not a key file\n\x01", false},
  };
  TempDir folder;
  const XdgAutostart autostart(folder / "stratovane.desktop");
  EXPECT_FALSE(autostart.isEnabled()) << "no entry";
  for (const EntryCase& entry : cases) {
    std::ofstream(autostart.entry(), std::ios::binary | std::ios::trunc) << entry.contents;
    EXPECT_EQ(autostart.isEnabled(), entry.enabled) << entry.contents;
  }
  fs::remove(autostart.entry());
  fs::create_directory(autostart.entry());
  EXPECT_FALSE(autostart.isEnabled()) << "a folder by that name";
}

TEST(XdgAutostartTest, OnWritesTheEntryInANewPrivateFolderAndOffRemovesIt) {
  TempDir config;
  const fs::path folder = config / "autostart";
  XdgAutostart autostart(folder / "stratovane.desktop");

  ASSERT_TRUE(autostart.setEnabled(true));
  EXPECT_TRUE(autostart.isEnabled());
  EXPECT_EQ(readFile(autostart.entry()), kAutostartEntry);
  EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1)
      << "no temporary file left beside the entry";

  // Turned off by the desktop's tools, then on again from the switch: our entry replaces it.
  std::ofstream(autostart.entry(), std::ios::trunc) << "[Desktop Entry]\nHidden=true\n";
  ASSERT_TRUE(autostart.setEnabled(true));
  EXPECT_EQ(readFile(autostart.entry()), kAutostartEntry);

  ASSERT_TRUE(autostart.setEnabled(false));
  EXPECT_FALSE(fs::exists(autostart.entry()));
  EXPECT_TRUE(autostart.setEnabled(false)) << "already off";
}

}  // namespace
}  // namespace stratovane
