// Runs the default GLib main context in tests until a condition holds or time runs out.
#pragma once

#include <glib.h>

#include <chrono>
#include <functional>

namespace stratovane::testing {

// Iterates the default main context until `done` or `limit` has passed; returns `done()`.
// GLib warnings and criticals abort, so that misuse of a source shows as a failure.
inline bool runMainContextUntil(const std::function<bool()>& done,
                                std::chrono::milliseconds limit) {
  g_log_set_always_fatal(static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL));
  bool expired = false;
  GSource* guard = g_timeout_source_new(static_cast<guint>(limit.count()));
  g_source_set_callback(
      guard,
      [](gpointer flag) -> gboolean {
        *static_cast<bool*>(flag) = true;
        return G_SOURCE_REMOVE;
      },
      &expired, nullptr);
  g_source_attach(guard, g_main_context_default());
  while (!done() && !expired) g_main_context_iteration(nullptr, TRUE);
  g_source_destroy(guard);
  g_source_unref(guard);
  return done();
}

// Iterates the default main context for `duration`, whatever happens.
inline void runMainContextFor(std::chrono::milliseconds duration) {
  runMainContextUntil([] { return false; }, duration);
}

}  // namespace stratovane::testing
