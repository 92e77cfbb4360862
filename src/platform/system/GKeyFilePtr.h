// Owning pointers for GLib key files and the strings their readers hand over.
#pragma once

#include <glib.h>

#include <memory>

namespace stratovane {

struct GKeyFileFree {
  void operator()(GKeyFile* file) const noexcept { g_key_file_free(file); }
};

using GKeyFilePtr = std::unique_ptr<GKeyFile, GKeyFileFree>;

struct GCharFree {
  void operator()(gchar* text) const noexcept { g_free(text); }
};

// A text the caller owns, such as a value read from a key file.
using GCharPtr = std::unique_ptr<gchar, GCharFree>;

struct GStrvFree {
  void operator()(gchar** texts) const noexcept { g_strfreev(texts); }
};

// A NULL-terminated array of texts the caller owns, such as the groups of a key file.
using GStrvPtr = std::unique_ptr<gchar*, GStrvFree>;

}  // namespace stratovane
