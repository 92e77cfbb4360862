// A block of bytes, such as a body received over the network.
#pragma once

#include <string>

namespace stratovane {

struct Data {
  std::string bytes;
  friend bool operator==(const Data&, const Data&) = default;
};

}  // namespace stratovane
