// The owned representation of a list.
#pragma once

#include <vector>

#include "json/Object.h"

namespace stratovane::detail {

struct ArrayStorage {
  std::vector<Object> items;
  ~ArrayStorage();
};

}  // namespace stratovane::detail
