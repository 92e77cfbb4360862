// A private configuration home for runs of the built binary, and what the machine's routes allow.
#pragma once

#include <filesystem>
#include <map>
#include <string>

#include "support/TempDir.h"

namespace stratovane::testing {

class ConfigDir {
  TempDir dir_;

 public:
  // Writes settings.ini with these lines under the [Settings] group.
  void write(const std::string& settings) const;
  // A headless run in the C locale and UTC that fetches from `endpoint` (empty: the default).
  std::map<std::string, std::string> environment(const std::string& endpoint = "") const;
  const std::filesystem::path path = dir_.path();  // XDG_CONFIG_HOME of the run
};

// A small answer that the binary shows as light rain (🌧) at 3 degrees.
inline constexpr const char* lightRainAnswer =
    R"({"current":{"temp":3,"weather":[{"description":"light rain","icon":"10n"}]}})";

// Without a default route the binary rightly says "Offline", whatever else a test arranges.
bool hostHasDefaultRoute();

}  // namespace stratovane::testing
