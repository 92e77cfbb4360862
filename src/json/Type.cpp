// Conversion of kinds from their raw values.
#include "json/Type.h"

namespace stratovane {

std::optional<Type> typeFromRawValue(int rawValue) noexcept {
  if (rawValue < 0 || rawValue > 6) return std::nullopt;
  return static_cast<Type>(rawValue);
}

}  // namespace stratovane
