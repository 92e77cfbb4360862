// The null object: the payload of null and unknown JSON values.
#pragma once

namespace stratovane {

struct Null {
  friend constexpr bool operator==(Null, Null) noexcept { return true; }
};

}  // namespace stratovane
