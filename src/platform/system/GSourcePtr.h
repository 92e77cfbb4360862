// Owning references to GLib event sources.
#pragma once

#include <glib.h>

#include <memory>

namespace stratovane {

struct GSourceUnref {
  void operator()(GSource* source) const noexcept { g_source_unref(source); }
};

// Holds one reference; destroying the source (detaching it) is a separate, explicit step.
using GSourcePtr = std::unique_ptr<GSource, GSourceUnref>;

struct GSourceDestroy {
  // Destroying a source that has already ended, or one being dispatched, is safe.
  void operator()(GSource* source) const noexcept {
    g_source_destroy(source);
    g_source_unref(source);
  }
};

// A source that runs for as long as it is held: letting go detaches it.
using AttachedSource = std::unique_ptr<GSource, GSourceDestroy>;

// Attaches `source` to the default main context, calling `callback` with `data`.
inline AttachedSource attachSource(GSource* source, GSourceFunc callback, gpointer data,
                                   GDestroyNotify release = nullptr) {
  AttachedSource attached(source);
  g_source_set_callback(source, callback, data, release);
  g_source_attach(source, g_main_context_default());
  return attached;
}

}  // namespace stratovane
