// Time formatting in the short time style of the user's time locale and the system's time zone.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/Formatting.h"

namespace stratovane {

class IcuTimeFormatting final : public TimeFormatting {
 public:
  // The user's time locale: LC_ALL, then LC_TIME, then LANG, skipping unset and empty ones.
  IcuTimeFormatting();
  // A locale name such as "de_DE.UTF-8"; "C" and "POSIX" give the 24-hour "HH:mm".
  explicit IcuTimeFormatting(const std::string& localeName);
  ~IcuTimeFormatting() override;
  IcuTimeFormatting(const IcuTimeFormatting&) = delete;
  IcuTimeFormatting& operator=(const IcuTimeFormatting&) = delete;

  // The wall-clock time of that instant in the system's time zone as it is at the call, so a
  // change of TZ or of /etc/localtime applies at once. Thread-safe.
  std::string shortTime(double secondsSince1970) const override;
  // The locale's own arrangement of the abbreviated weekday and the short time.
  std::string weekdayShortTime(double secondsSince1970) const override;
  bool sameDay(double secondsSince1970, double otherSecondsSince1970) const override;

  // The name of the user's time locale from the environment; "C" when none is set.
  static std::string userLocaleName();
  // The ICU locale id of a locale name ("sr_RS.UTF-8@latin" gives "sr_Latn_RS"); none for the C
  // and POSIX locales.
  static std::optional<std::string> icuLocaleId(const std::string& localeName);

 private:
  std::string format(double secondsSince1970, bool withWeekday) const;

  struct Formatter;
  std::unique_ptr<Formatter> formatter_;
};

}  // namespace stratovane
