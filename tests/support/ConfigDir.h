// A private configuration home for runs of the built binary, and what the machine's routes allow.
#pragma once

#include <filesystem>
#include <string>

#include "support/TempDir.h"

namespace stratovane::testing {

class ConfigDir {
  TempDir dir_;

 public:
  // Writes settings.ini with these lines under the [Settings] group.
  void write(const std::string& settings) const;
  const std::filesystem::path path = dir_.path();  // XDG_CONFIG_HOME of the run
};

// Without a default route the binary rightly says "Offline", whatever else a test arranges.
bool hostHasDefaultRoute();

}  // namespace stratovane::testing
