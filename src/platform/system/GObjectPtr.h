// Owning pointer for GObject references from the C libraries that no C++ wrapper holds.
#pragma once

#include <glib-object.h>

#include <memory>

namespace stratovane {

struct GObjectUnref {
  void operator()(gpointer object) const { g_object_unref(object); }
};

// Holds one strong reference, dropped when the pointer goes.
template <class T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

}  // namespace stratovane
