// One official warning of the weather answer, as read for the menu and the alert window.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace stratovane {

// Texts the answer lacks are empty; times it lacks are none. Alerts of the answer that differ only
// in their start and description (the same warning for several areas) are one.
struct WeatherAlert {
  std::string event;
  std::string senderName;
  std::optional<double> start;  // seconds since 1970; the earliest, none when one had none
  std::optional<double> end;
  std::vector<std::string> descriptions;  // each different one once, line breaks as received
};

}  // namespace stratovane
