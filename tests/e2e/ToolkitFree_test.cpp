// Bar processes never map the toolkit, nor GIO: only the modules of the panel item link them.
#include <gtest/gtest.h>

#include <string>

#include "support/ChildProcess.h"
#include "support/ConfigDir.h"

namespace stratovane {
namespace {

using testing::ChildProcess;
using testing::ConfigDir;

constexpr const char* kToolkitLibraries[] = {
    "libgtk-3", "libgdk-3",           "libgtkmm",       "ayatana",          "osmgpsmap", "libsoup",
    "libgio-2", "stratovane-desktop", "stratovane-map", "stratovane-panel", "libxcb"};

std::string toolkitLibraryIn(const std::string& text) {
  for (const char* library : kToolkitLibraries) {
    if (text.find(library) != std::string::npos) return library;
  }
  return {};
}

// The command that starts the program loads the C library alone, so it holds the signals at
// once; what the program maps is checked below.
TEST(ToolkitFree, TheCommandLinksOnlyTheCLibrary) {
  const std::string command = testing::run(std::string("ldd ") + STRATOVANE_BINARY).text;
  ASSERT_NE(command.find("libc.so"), std::string::npos) << command;
  EXPECT_EQ(command.find("libstdc++"), std::string::npos) << command;
  EXPECT_EQ(command.find("libglib"), std::string::npos) << command;
}

// Even with a display named, the bar front-ends do not load the module.
TEST(ToolkitFree, BarModesMapNoToolkitAfterTheirFirstTitles) {
  for (const char* mode : {"--line", "--waybar"}) {
    ConfigDir config;
    ChildProcess child({STRATOVANE_BINARY, mode}, {{"XDG_CONFIG_HOME", config.path.string()},
                                                   {"DISPLAY", ":0"},
                                                   {"STRATOVANE_WEATHER_URL", ""}});
    // The first title is written once set-up is over.
    ASSERT_TRUE(child.readLine()) << mode;
    const std::string mapped = testing::readFile("/proc/" + std::to_string(child.pid()) + "/maps");
    ASSERT_FALSE(mapped.empty());
    EXPECT_EQ(toolkitLibraryIn(mapped), "") << mode;
  }
}

}  // namespace
}  // namespace stratovane
