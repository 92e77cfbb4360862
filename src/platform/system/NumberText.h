// Conversions between stored numbers and texts, independent of the process locale.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace stratovane {

// Truncates toward zero; saturates at the int64 limits; NaN gives 0.
std::int64_t integerFromDouble(double value) noexcept;

// Skips leading white space, takes an optional sign and the decimal digits up to the first
// other character; saturates on overflow; no digits give 0. "30" gives 30, " -1x" gives -1.
std::int64_t integerFromText(std::string_view text) noexcept;

// Skips leading white space, then reads the longest decimal number (sign, digits, point,
// exponent) in the C locale's notation. No number, hexadecimal, "inf" and "nan" give 0;
// magnitudes beyond the double range give an infinity.
double doubleFromText(std::string_view text);

// The shortest text that reads back as the same double, in whichever notation is shorter
// ("18", "59.4040015148249", "1e+300").
std::string shortestText(double value);

// The shortest text that reads back as the same double, never with an exponent, so that its
// leading digits are also its integer part ("0.00001", "100000000000000000000").
std::string shortestFixedText(double value);

}  // namespace stratovane
