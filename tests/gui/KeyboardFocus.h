// Keys typed into a window of another process, found by its title, as the user types them.
#pragma once

#include <string>

namespace stratovane::testing {

// Gives the first window titled `title` the keyboard focus and types the key named `keysym`
// ("Escape"); false when no such window is mapped.
bool typeKeyInto(const std::string& title, const std::string& keysym);

// How many windows titled `title` are on screen.
int mappedWindowsTitled(const std::string& title);

}  // namespace stratovane::testing
