// A version as three integers, read from text the way the update server publishes it.
#pragma once

#include <compare>
#include <cstdint>
#include <string_view>

namespace stratovane {

struct Version {
  std::int64_t major = 0;
  std::int64_t minor = 0;
  std::int64_t patch = 0;

  // Splits at the first two "." characters; each piece counts by its leading integer (leading
  // white space skipped, optional sign, 0 when it does not start with a number). Pieces after
  // the third are ignored, missing ones are 0.
  static Version parse(std::string_view text);

  // Compares major, then minor, then patch, as numbers.
  friend auto operator<=>(const Version&, const Version&) = default;
};

}  // namespace stratovane
