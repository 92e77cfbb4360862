// The name of the user's locale for one category, as the C library would choose it.
#pragma once

#include <cstdlib>
#include <string>

namespace stratovane {

// LC_ALL, then the category's own variable (LC_TIME, LC_NUMERIC, ...), then LANG; else "C".
inline std::string userLocaleName(const char* categoryVariable) {
  for (const char* variable : {"LC_ALL", categoryVariable, "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return value;
  }
  return "C";
}

}  // namespace stratovane
