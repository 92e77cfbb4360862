// A private configuration home for runs of the built binary, and what the machine's routes allow.
#pragma once

#include <sys/socket.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "platform/system/KernelReachability.h"
#include "support/TempDir.h"

namespace stratovane::testing {

class ConfigDir {
  TempDir dir_;

 public:
  // Writes settings.ini with these lines under the [Settings] group.
  void write(const std::string& settings) const {
    std::filesystem::create_directories(path / "stratovane");
    std::ofstream(path / "stratovane" / "settings.ini") << "[Settings]\n" << settings;
  }
  // A headless run in the C locale and UTC that fetches from `endpoint` (empty: the default).
  std::map<std::string, std::string> environment(const std::string& endpoint = "") const {
    return {{"XDG_CONFIG_HOME", path.string()},
            {"STRATOVANE_WEATHER_URL", endpoint},
            {"DISPLAY", ""},
            {"WAYLAND_DISPLAY", ""},
            {"LC_ALL", "C"},
            {"TZ", "UTC"}};
  }
  const std::filesystem::path path = dir_.path();  // XDG_CONFIG_HOME of the run
};

// A small answer that the binary shows as light rain (🌧) at 3 degrees.
inline constexpr const char* lightRainAnswer =
    R"({"current":{"temp":3,"weather":[{"description":"light rain","icon":"10n"}]}})";

// Without a default route the binary rightly says "Offline", whatever else a test arranges.
inline bool hostHasDefaultRoute() {
  return KernelReachability().flagsForAnyAddress(AF_INET).value_or(0) != 0;
}

}  // namespace stratovane::testing
