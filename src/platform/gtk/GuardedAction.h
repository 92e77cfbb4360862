// Runs an action from a GTK signal without letting an exception reach GLib.
#pragma once

#include <cstdio>
#include <exception>
#include <functional>

namespace stratovane::gtk {

inline void runGuarded(const std::function<void()>& action) noexcept {
  if (!action) return;
  try {
    action();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "stratovane: action failed: %s\n", error.what());
  } catch (...) {
    std::fputs("stratovane: action failed\n", stderr);
  }
}

}  // namespace stratovane::gtk
