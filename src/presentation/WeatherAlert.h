// One official warning of the weather answer, as read for the menu and the alert window.
#pragma once

#include <optional>
#include <string>

namespace stratovane {

// Texts the answer lacks are empty; times it lacks are none.
struct WeatherAlert {
  std::string event;
  std::string senderName;
  std::optional<double> start;  // seconds since 1970
  std::optional<double> end;
  std::string description;  // line breaks as received
};

}  // namespace stratovane
