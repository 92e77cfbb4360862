// The installed layout: the binary finds its graphical module in the package's private folder.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "GuiTest.h"
#include "PrivateBus.h"
#include "support/ChildProcess.h"
#include "support/ConfigDir.h"
#include "support/TempDir.h"

namespace stratovane {
namespace {

namespace fs = std::filesystem;
using testing::ChildProcess;
using testing::ConfigDir;
using testing::PrivateBus;
using testing::TempDir;

std::string mapsOf(pid_t pid) {
  std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
  std::stringstream text;
  text << maps.rdbuf();
  return text.str();
}

class DesktopModuleTest : public testing::GuiTest {};

TEST_F(DesktopModuleTest, InstalledBinaryLoadsTheInstalledModule) {
  TempDir root;
  const std::string install = "DESTDIR='" + root.path().string() + "' cmake --install '" +
                              STRATOVANE_BUILD_DIR + "' >/dev/null";
  ASSERT_EQ(std::system(install.c_str()), 0);
  fs::path binary;
  fs::path module;
  for (const auto& entry : fs::recursive_directory_iterator(root.path())) {
    if (entry.path().filename() == "stratovane" && entry.path().parent_path().filename() == "bin")
      binary = entry.path();
    if (entry.path().filename() == "stratovane-desktop.so") module = entry.path();
  }
  ASSERT_FALSE(binary.empty());
  ASSERT_EQ(module.parent_path().filename(), "stratovane");

  PrivateBus bus;
  ConfigDir config;
  ChildProcess child({binary.string()}, {{"DBUS_SESSION_BUS_ADDRESS", bus.address()},
                                         {"XDG_CONFIG_HOME", config.path.string()},
                                         {"NO_AT_BRIDGE", "1"},
                                         {"GTK_A11Y", "none"}});
  bool loaded = false;
  std::string maps;
  for (int i = 0; i < 100 && !loaded; ++i) {
    maps = mapsOf(child.pid());
    loaded = maps.find(module.string()) != std::string::npos &&
             maps.find("libgtk-3") != std::string::npos;
    if (!loaded) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_TRUE(loaded) << child.readErrors();
  // The map and what only it needs wait for the settings view.
  for (const char* library : {"stratovane-map", "osmgpsmap", "libsoup"})
    EXPECT_EQ(maps.find(library), std::string::npos) << library;
  child.signal(SIGTERM);
  EXPECT_EQ(child.wait(), 0);
}

}  // namespace
}  // namespace stratovane
