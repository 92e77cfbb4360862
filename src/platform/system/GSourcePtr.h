// Owning reference to a GLib event source.
#pragma once

#include <glib.h>

#include <memory>

namespace stratovane {

struct GSourceUnref {
  void operator()(GSource* source) const noexcept { g_source_unref(source); }
};

// Holds one reference; destroying the source (detaching it) is a separate, explicit step.
using GSourcePtr = std::unique_ptr<GSource, GSourceUnref>;

}  // namespace stratovane
