// Number formatting in the user's numeric locale through the C library, without the process locale.
#include "platform/system/LocaleNumberFormatting.h"

#include "platform/system/UserLocale.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

namespace stratovane {

namespace {

locale_t openNumericLocale(const std::string& name) {
  if (locale_t locale = newlocale(LC_NUMERIC_MASK, name.c_str(), locale_t{})) return locale;
  return newlocale(LC_NUMERIC_MASK, "C", locale_t{});
}

// Switches the calling thread's locale only, and back again on every way out.
class ThreadLocaleScope {
 public:
  explicit ThreadLocaleScope(locale_t locale) : previous_(uselocale(locale)) {}
  ~ThreadLocaleScope() { uselocale(previous_); }
  ThreadLocaleScope(const ThreadLocaleScope&) = delete;
  ThreadLocaleScope& operator=(const ThreadLocaleScope&) = delete;

 private:
  locale_t previous_;
};

}  // namespace

LocaleNumberFormatting::LocaleNumberFormatting() : LocaleNumberFormatting(userLocaleName()) {}

LocaleNumberFormatting::LocaleNumberFormatting(const std::string& localeName)
    : locale_(openNumericLocale(localeName)) {}

LocaleNumberFormatting::~LocaleNumberFormatting() {
  if (locale_ != locale_t{}) freelocale(locale_);
}

std::string LocaleNumberFormatting::fixed(double value, int decimals) const {
  const int precision = std::clamp(decimals, 0, 100);
  std::array<char, 64> small;
  // No ' flag: printf's %f writes no grouping separator without it.
  ThreadLocaleScope scope(locale_ != locale_t{} ? locale_ : LC_GLOBAL_LOCALE);
  const int length = std::snprintf(small.data(), small.size(), "%.*f", precision, value);
  if (length < 0) return {};
  if (static_cast<std::size_t>(length) < small.size()) return std::string(small.data(), length);
  // Large magnitudes: %f writes every integer digit.
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  std::snprintf(text.data(), text.size(), "%.*f", precision, value);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

std::string LocaleNumberFormatting::userLocaleName() {
  return stratovane::userLocaleName("LC_NUMERIC");
}

}  // namespace stratovane
