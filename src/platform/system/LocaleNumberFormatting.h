// Number formatting in the user's numeric locale through the C library, without the process locale.
#pragma once

#include <locale.h>

#include <string>

#include "platform/Formatting.h"

namespace stratovane {

class LocaleNumberFormatting final : public NumberFormatting {
 public:
  // The user's numeric locale: LC_ALL, then LC_NUMERIC, then LANG, skipping unset and empty ones.
  LocaleNumberFormatting();
  // A locale name such as "de_DE.UTF-8"; "C", "POSIX" and names the system lacks give the C locale.
  explicit LocaleNumberFormatting(const std::string& localeName);
  ~LocaleNumberFormatting() override;
  LocaleNumberFormatting(const LocaleNumberFormatting&) = delete;
  LocaleNumberFormatting& operator=(const LocaleNumberFormatting&) = delete;

  // "%.Nf" under the locale: its decimal separator, never a grouping separator. Decimals are
  // clamped to 0..100.
  std::string fixed(double value, int decimals) const override;

  // The name of the user's numeric locale from the environment; "C" when none is set.
  static std::string userLocaleName();

 private:
  locale_t locale_;
};

}  // namespace stratovane
