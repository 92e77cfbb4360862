// Conversions, text form and ordering of number objects.
#include "json/Number.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <utility>

namespace stratovane {
namespace {

template <std::integral T>
T fromDouble(double value) noexcept {
  if (std::isnan(value)) return 0;
  // 2^digits is the first value above T's maximum; it and -2^digits are exact doubles.
  const double limit = std::ldexp(1.0, std::numeric_limits<T>::digits);
  if (value >= limit) return std::numeric_limits<T>::max();
  if constexpr (std::is_signed_v<T>) {
    if (value <= -limit) return std::numeric_limits<T>::min();
  } else {
    if (value <= -1.0) return 0;
  }
  return static_cast<T>(value);
}

template <std::integral T>
T fromSigned(std::int64_t value) noexcept {
  if (std::cmp_less(value, std::numeric_limits<T>::min())) return std::numeric_limits<T>::min();
  if (std::cmp_greater(value, std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
  return static_cast<T>(value);
}

template <std::integral T>
T fromUnsigned(std::uint64_t value) noexcept {
  if (std::cmp_greater(value, std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
  return static_cast<T>(value);
}

// Exact comparison of an integer with a double that is not NaN.
std::weak_ordering compareSignedWithDouble(std::int64_t i, double d) noexcept {
  if (d >= 9223372036854775808.0) return std::weak_ordering::less;
  if (d < -9223372036854775808.0) return std::weak_ordering::greater;
  const double whole = std::trunc(d);
  const auto truncated = static_cast<std::int64_t>(whole);
  if (i != truncated) return i < truncated ? std::weak_ordering::less : std::weak_ordering::greater;
  if (d > whole) return std::weak_ordering::less;
  if (d < whole) return std::weak_ordering::greater;
  return std::weak_ordering::equivalent;
}

std::weak_ordering compareUnsignedWithDouble(std::uint64_t u, double d) noexcept {
  if (d < 0) return std::weak_ordering::greater;
  if (d >= 18446744073709551616.0) return std::weak_ordering::less;
  const double whole = std::trunc(d);
  const auto truncated = static_cast<std::uint64_t>(whole);
  if (u != truncated) return u < truncated ? std::weak_ordering::less : std::weak_ordering::greater;
  if (d > whole) return std::weak_ordering::less;
  return std::weak_ordering::equivalent;
}

std::weak_ordering reverse(std::weak_ordering order) noexcept {
  return 0 <=> order;
}

template <class T>
std::weak_ordering compareValues(T a, T b) noexcept {
  if (a < b) return std::weak_ordering::less;
  if (b < a) return std::weak_ordering::greater;
  return std::weak_ordering::equivalent;
}

}  // namespace

bool Number::boolValue() const noexcept {
  switch (representation_) {
    case Representation::boolean:
    case Representation::int64:
      return bits_.i != 0;
    case Representation::uint64:
      return bits_.u != 0;
    case Representation::float32:
    case Representation::float64:
      return !std::isnan(bits_.d) && bits_.d != 0;
  }
  return false;
}

float Number::floatValue() const noexcept {
  const double value = doubleValue();
  if (value > std::numeric_limits<float>::max()) return std::numeric_limits<float>::infinity();
  if (value < -std::numeric_limits<float>::max()) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

#define STRATOVANE_INTEGER_GETTER(name, T) \
  T Number::name() const noexcept {        \
    switch (representation_) {             \
      case Representation::boolean:        \
      case Representation::int64:          \
        return fromSigned<T>(bits_.i);     \
      case Representation::uint64:         \
        return fromUnsigned<T>(bits_.u);   \
      case Representation::float32:        \
      case Representation::float64:        \
        return fromDouble<T>(bits_.d);     \
    }                                      \
    return 0;                              \
  }

STRATOVANE_INTEGER_GETTER(charValue, std::int8_t)
STRATOVANE_INTEGER_GETTER(unsignedCharValue, std::uint8_t)
STRATOVANE_INTEGER_GETTER(shortValue, std::int16_t)
STRATOVANE_INTEGER_GETTER(unsignedShortValue, std::uint16_t)
STRATOVANE_INTEGER_GETTER(intValue, std::int32_t)
STRATOVANE_INTEGER_GETTER(unsignedIntValue, std::uint32_t)
STRATOVANE_INTEGER_GETTER(longLongValue, std::int64_t)
STRATOVANE_INTEGER_GETTER(unsignedLongLongValue, std::uint64_t)

#undef STRATOVANE_INTEGER_GETTER

std::string Number::stringValue() const {
  char buffer[64];
  std::to_chars_result result{};
  switch (representation_) {
    case Representation::boolean:
    case Representation::int64:
      result = std::to_chars(buffer, buffer + sizeof buffer, bits_.i);
      break;
    case Representation::uint64:
      result = std::to_chars(buffer, buffer + sizeof buffer, bits_.u);
      break;
    case Representation::float32:
    case Representation::float64: {
      const double value = bits_.d;
      if (std::isnan(value)) return "nan";
      if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
      // A float keeps its own shortest form: 21.6f reads "21.6", not its widened digits.
      result = representation_ == Representation::float32
                   ? std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(value))
                   : std::to_chars(buffer, buffer + sizeof buffer, value);
      break;
    }
  }
  return std::string(buffer, result.ptr);
}

std::weak_ordering Number::compare(const Number& other) const noexcept {
  const bool floating = isFloating();
  const bool otherFloating = other.isFloating();
  if (floating || otherFloating) {
    const bool nan = floating && std::isnan(bits_.d);
    const bool otherNan = otherFloating && std::isnan(other.bits_.d);
    if (nan || otherNan) {
      if (nan && otherNan) return std::weak_ordering::equivalent;
      return nan ? std::weak_ordering::less : std::weak_ordering::greater;
    }
    if (floating && otherFloating) return compareValues(bits_.d, other.bits_.d);
    if (floating) return reverse(other.compare(*this));
    // This one is an integer, the other floating.
    if (representation_ == Representation::uint64) {
      return compareUnsignedWithDouble(bits_.u, other.bits_.d);
    }
    return compareSignedWithDouble(bits_.i, other.bits_.d);
  }
  const bool unsignedSelf = representation_ == Representation::uint64;
  const bool unsignedOther = other.representation_ == Representation::uint64;
  if (unsignedSelf && unsignedOther) return compareValues(bits_.u, other.bits_.u);
  if (!unsignedSelf && !unsignedOther) return compareValues(bits_.i, other.bits_.i);
  if (unsignedSelf) {
    if (other.bits_.i < 0) return std::weak_ordering::greater;
    return compareValues(bits_.u, static_cast<std::uint64_t>(other.bits_.i));
  }
  if (bits_.i < 0) return std::weak_ordering::less;
  return compareValues(static_cast<std::uint64_t>(bits_.i), other.bits_.u);
}

}  // namespace stratovane
