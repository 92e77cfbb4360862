// Runs an action from a GTK signal without letting an exception reach GLib.
#pragma once

#include <cstdio>
#include <exception>
#include <functional>

#include "platform/Translation.h"

namespace stratovane::gtk {

inline void runGuarded(const std::function<void()>& action) noexcept {
  if (!action) return;
  try {
    action();
  } catch (const std::exception& error) {
    std::fprintf(stderr, tr("stratovane: action failed: %s\n"), error.what());
  } catch (...) {
    std::fputs(tr("stratovane: action failed\n"), stderr);
  }
}

}  // namespace stratovane::gtk
