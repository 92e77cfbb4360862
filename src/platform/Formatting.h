// Locale-aware writing of numbers and times, in the user's locale and the system time zone.
#pragma once

#include <string>

namespace stratovane {

class NumberFormatting {
 public:
  virtual ~NumberFormatting() = default;
  // Like "%.<decimals>f" in the user's numeric locale: its decimal separator, no grouping,
  // exact binary rounding with ties to even, the sign of -0 kept. Thread-safe.
  virtual std::string fixed(double value, int decimals) const = 0;
};

class TimeFormatting {
 public:
  virtual ~TimeFormatting() = default;
  // The short time style (no date) of the user's time locale in the system's current time zone.
  virtual std::string shortTime(double secondsSince1970) const = 0;
  // The abbreviated weekday and the short time in the same locale and zone ("Tue 14:00"), for
  // instants that need the day as well.
  virtual std::string weekdayShortTime(double secondsSince1970) const = 0;
  // Whether both instants fall on one calendar day of the system's current time zone.
  virtual bool sameDay(double secondsSince1970, double otherSecondsSince1970) const = 0;
};

}  // namespace stratovane
