// Time formatting in the short time style of the user's time locale and the system's time zone.
#include "platform/system/IcuTimeFormatting.h"

#include "platform/system/UserLocale.h"

#include <unicode/datefmt.h>
#include <unicode/dtptngen.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <optional>
#include <string>

namespace stratovane {

// The formatters are made at their first use: ICU's locale data costs memory in every process,
// and a bar that never shows a weekday never needs the pattern generator.
struct IcuTimeFormatting::Formatter {
  std::string localeName;
  // Work in GMT on wall-clock instants: the C library supplies the local offset per call.
  std::optional<std::unique_ptr<icu::DateFormat>> format;
  std::optional<std::unique_ptr<icu::DateFormat>> weekdayFormat;
  std::mutex mutex;  // ICU formatters are not safe for concurrent use
};

namespace {

std::unique_ptr<icu::DateFormat> makeShortTimeFormat(const std::string& localeName) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::DateFormat> format;
  if (const auto id = IcuTimeFormatting::icuLocaleId(localeName)) {
    format.reset(
        icu::DateFormat::createTimeInstance(icu::DateFormat::kShort, icu::Locale(id->c_str())));
  }
  if (!format) {
    format = std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString(u"HH:mm"),
                                                     icu::Locale::getRoot(), status);
    if (U_FAILURE(status)) format.reset();
  }
  if (format) format->adoptTimeZone(icu::TimeZone::getGMT()->clone());
  return format;
}

std::unique_ptr<icu::DateFormat> makeWeekdayTimeFormat(const std::string& localeName) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::DateFormat> format;
  // The C and POSIX locales keep the 24-hour clock of their short time.
  if (const auto id = IcuTimeFormatting::icuLocaleId(localeName)) {
    const icu::Locale locale(id->c_str());
    const std::unique_ptr<icu::DateTimePatternGenerator> generator(
        icu::DateTimePatternGenerator::createInstance(locale, status));
    // "j" is the locale's own hour cycle, as in its short time.
    const icu::UnicodeString pattern =
        U_SUCCESS(status) ? generator->getBestPattern(u"EEEjmm", status) : icu::UnicodeString();
    if (U_SUCCESS(status))
      format = std::make_unique<icu::SimpleDateFormat>(pattern, locale, status);
    if (U_FAILURE(status)) format.reset();
  }
  if (!format) {
    status = U_ZERO_ERROR;
    format = std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString(u"EEE HH:mm"),
                                                     icu::Locale::getRoot(), status);
    if (U_FAILURE(status)) format.reset();
  }
  if (format) format->adoptTimeZone(icu::TimeZone::getGMT()->clone());
  return format;
}

// ICU's calendar ends a few million years away; values beyond, and non-finite ones, read as the
// epoch.
double withinCalendar(double secondsSince1970) {
  if (!std::isfinite(secondsSince1970) || std::fabs(secondsSince1970) > 1.0e14) return 0;
  return secondsSince1970;
}

// Seconds east of UTC of the system's time zone at that instant, after re-reading the zone.
long localOffsetAt(std::time_t instant) {
  // tzset notices a changed TZ and a replaced /etc/localtime; localtime_r alone does not.
  tzset();
  std::tm local{};
  if (localtime_r(&instant, &local) == nullptr) return 0;
  return local.tm_gmtoff;
}

}  // namespace

IcuTimeFormatting::IcuTimeFormatting() : IcuTimeFormatting(userLocaleName()) {}

IcuTimeFormatting::IcuTimeFormatting(const std::string& localeName)
    : formatter_(std::make_unique<Formatter>()) {
  formatter_->localeName = localeName;
}

IcuTimeFormatting::~IcuTimeFormatting() = default;

std::string IcuTimeFormatting::shortTime(double secondsSince1970) const {
  return format(secondsSince1970, false);
}

std::string IcuTimeFormatting::weekdayShortTime(double secondsSince1970) const {
  return format(secondsSince1970, true);
}

bool IcuTimeFormatting::sameDay(double secondsSince1970, double otherSecondsSince1970) const {
  const auto localDay = [](double seconds, std::tm& local) {
    const auto instant = static_cast<std::time_t>(std::floor(withinCalendar(seconds)));
    return localtime_r(&instant, &local) != nullptr;
  };
  tzset();  // as in localOffsetAt: a changed zone applies at once
  std::tm one{};
  std::tm other{};
  if (!localDay(secondsSince1970, one) || !localDay(otherSecondsSince1970, other)) return false;
  return one.tm_year == other.tm_year && one.tm_yday == other.tm_yday;
}

std::string IcuTimeFormatting::format(double secondsSince1970, bool withWeekday) const {
  secondsSince1970 = withinCalendar(secondsSince1970);
  const double whole = std::floor(secondsSince1970);
  const long offset = localOffsetAt(static_cast<std::time_t>(whole));
  const UDate wallClock = (secondsSince1970 + static_cast<double>(offset)) * 1000.0;

  std::lock_guard lock(formatter_->mutex);
  auto& slot = withWeekday ? formatter_->weekdayFormat : formatter_->format;
  if (!slot) {
    slot = withWeekday ? makeWeekdayTimeFormat(formatter_->localeName)
                       : makeShortTimeFormat(formatter_->localeName);
  }
  icu::DateFormat* const chosen = slot->get();
  if (chosen == nullptr) return {};
  icu::UnicodeString text;
  chosen->format(wallClock, text);
  std::string utf8;
  text.toUTF8String(utf8);
  return utf8;
}

std::string IcuTimeFormatting::userLocaleName() {
  return stratovane::userLocaleName("LC_TIME");
}

std::optional<std::string> IcuTimeFormatting::icuLocaleId(const std::string& localeName) {
  // language[_territory][.codeset][@modifier]
  const std::size_t at = localeName.find('@');
  const std::string modifier = at == std::string::npos ? "" : localeName.substr(at + 1);
  std::string base = localeName.substr(0, std::min(at, localeName.find('.')));
  if (base.empty() || base == "C" || base == "POSIX") return std::nullopt;

  const std::size_t underscore = base.find('_');
  const std::string language = base.substr(0, underscore);
  const std::string territory = underscore == std::string::npos ? "" : base.substr(underscore);
  // Modifiers that name a script or a variant keep their meaning; others (like "euro") have none
  // for times.
  if (modifier == "latin") return language + "_Latn" + territory;
  if (modifier == "cyrillic") return language + "_Cyrl" + territory;
  if (modifier == "devanagari") return language + "_Deva" + territory;
  if (modifier == "valencia") return base + (territory.empty() ? "__" : "_") + "VALENCIA";
  return base;
}

}  // namespace stratovane
