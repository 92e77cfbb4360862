// Configuration homes for runs of the built binary.
#include "support/ConfigDir.h"

#include <fstream>

namespace stratovane::testing {

void ConfigDir::write(const std::string& settings) const {
  std::filesystem::create_directories(path / "stratovane");
  std::ofstream(path / "stratovane" / "settings.ini") << "[Settings]\n" << settings;
}

std::map<std::string, std::string> ConfigDir::environment(const std::string& endpoint) const {
  return {{"XDG_CONFIG_HOME", path.string()},
          {"STRATOVANE_WEATHER_URL", endpoint},
          {"DISPLAY", ""},
          {"WAYLAND_DISPLAY", ""},
          {"LC_ALL", "C"},
          {"TZ", "UTC"}};
}

bool hostHasDefaultRoute() {
  std::ifstream routes("/proc/net/route");
  std::string iface, destination, line;
  std::getline(routes, line);
  while (routes >> iface >> destination && std::getline(routes, line))
    if (destination == "00000000" && iface != "lo") return true;
  return false;
}

}  // namespace stratovane::testing
