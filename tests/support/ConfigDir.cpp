// Configuration homes for runs of the built binary.
#include "support/ConfigDir.h"

#include <fstream>

namespace stratovane::testing {

void ConfigDir::write(const std::string& settings) const {
  std::filesystem::create_directories(path / "stratovane");
  std::ofstream(path / "stratovane" / "settings.ini") << "[Settings]\n" << settings;
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
