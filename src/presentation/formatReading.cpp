// Writing of the numbers in weather texts: readings in the user's locale, percentages plainly.
#include "presentation/formatReading.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "platform/Settings.h"

namespace stratovane {

std::string formatReading(float reading, const UserDefaults& defaults,
                          const NumberFormatting& numbers) {
  const std::int64_t decimals = defaults.integerForKey(SettingsKey::decimals);
  // One unsigned comparison: negative values wrap to huge ones and fall to no decimals.
  const int chosen = static_cast<std::uint64_t>(decimals) < 3 ? static_cast<int>(decimals) : 0;
  return numbers.fixed(static_cast<double>(reading), chosen);
}

std::string plainDouble(double value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  // Fixed notation of the smallest subnormal needs 326 characters; the largest double 310.
  std::array<char, 400> buffer;
  const auto [end, error] =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
  std::string text(buffer.data(), error == std::errc() ? end : buffer.data());
  if (text.find('.') == std::string::npos) text += ".0";
  return text;
}

}  // namespace stratovane
