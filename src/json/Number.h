// A number object: an integer, a floating value or a Boolean, keeping which it was made from.
#pragma once

#include <compare>
#include <concepts>
#include <cstdint>
#include <string>

namespace stratovane {

// Conversions never invoke undefined behaviour:
// - to an integer type: floating values are truncated toward zero; values outside the target's
//   range saturate at its minimum or maximum; NaN gives 0.
// - to float: values beyond float's range give +/-infinity; NaN stays NaN.
// - to bool: any value other than 0 (and other than NaN) is true.
// Text form (`stringValue`): integers in decimal, Booleans "1" or "0", floating values in the
// shortest form that reads back to the same value ("21.6", 3.0 gives "3", 1e300 gives "1e+300"),
// non-finite values "nan", "inf", "-inf".
class Number {
 public:
  enum class Representation : std::uint8_t { boolean, int64, uint64, float32, float64 };

  constexpr Number() noexcept = default;  // the integer 0
  constexpr Number(bool value) noexcept : representation_(Representation::boolean) {
    bits_.i = value ? 1 : 0;
  }
  template <std::signed_integral T>
  constexpr Number(T value) noexcept : representation_(Representation::int64) {
    bits_.i = value;
  }
  template <std::unsigned_integral T>
  requires(!std::same_as<T, bool>) constexpr Number(T value) noexcept
      : representation_(Representation::uint64) {
    bits_.u = value;
  }
  constexpr Number(float value) noexcept : representation_(Representation::float32) {
    bits_.d = value;
  }
  constexpr Number(double value) noexcept : representation_(Representation::float64) {
    bits_.d = value;
  }

  Representation representation() const noexcept { return representation_; }
  // True only for numbers made from a Boolean, whatever their value.
  bool isBool() const noexcept { return representation_ == Representation::boolean; }
  bool isInteger() const noexcept {
    return representation_ == Representation::int64 || representation_ == Representation::uint64;
  }
  bool isFloating() const noexcept {
    return representation_ == Representation::float32 || representation_ == Representation::float64;
  }

  bool boolValue() const noexcept;
  double doubleValue() const noexcept {
    switch (representation_) {
      case Representation::boolean:
      case Representation::int64:
        return static_cast<double>(bits_.i);
      case Representation::uint64:
        return static_cast<double>(bits_.u);
      case Representation::float32:
      case Representation::float64:
        return bits_.d;
    }
    return 0;
  }
  float floatValue() const noexcept;
  std::int64_t integerValue() const noexcept { return longLongValue(); }
  std::uint64_t unsignedIntegerValue() const noexcept { return unsignedLongLongValue(); }
  std::int8_t charValue() const noexcept;
  std::uint8_t unsignedCharValue() const noexcept;
  std::int16_t shortValue() const noexcept;
  std::uint16_t unsignedShortValue() const noexcept;
  std::int32_t intValue() const noexcept;
  std::uint32_t unsignedIntValue() const noexcept;
  std::int64_t longLongValue() const noexcept;
  std::uint64_t unsignedLongLongValue() const noexcept;
  std::string stringValue() const;

  // Exact numeric order across representations (no rounding through double); Booleans count as
  // 0 and 1. NaN equals NaN and is less than every other number, so the order is total.
  std::weak_ordering compare(const Number& other) const noexcept;
  friend bool operator==(const Number& a, const Number& b) noexcept {
    return a.compare(b) == std::weak_ordering::equivalent;
  }

 private:
  union Bits {
    std::int64_t i;
    std::uint64_t u;
    double d;
  };
  Representation representation_ = Representation::int64;
  Bits bits_{.i = 0};
};

// Whether the number was made from a Boolean; 1 and 0 made from integers are not.
inline bool isBoolNumber(const Number& number) noexcept {
  return number.isBool();
}

}  // namespace stratovane
