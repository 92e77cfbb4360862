// Writing of the numbers in weather texts: readings in the user's locale, percentages plainly.
#pragma once

#include <string>

#include "platform/Formatting.h"
#include "platform/UserDefaults.h"

namespace stratovane {

// The reading with the count of decimals of the "decimals" setting, read anew on every call:
// 0, 1 or 2, and 0 for any other value. The 32-bit reading is widened to double before writing,
// so the digits are those of the narrowed value (12.35 with one decimal gives 12.4).
std::string formatReading(float reading, const UserDefaults& defaults,
                          const NumberFormatting& numbers);

// The shortest text that reads back as exactly `value`, in fixed notation (never an exponent),
// with at least one fractional digit and always "." as separator: 75 gives "75.0", -0 gives
// "-0.0", 0.07 * 100 gives "7.000000000000001". Not-a-number gives "nan", infinities "inf" and
// "-inf".
std::string plainDouble(double value);

}  // namespace stratovane
