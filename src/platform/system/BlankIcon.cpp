// A transparent icon in a private icon-theme folder, for panels that draw an icon beside the label.
#include "platform/system/BlankIcon.h"

#include <glib.h>
#include <glib/gstdio.h>

#include <cstdio>

#include "platform/Translation.h"

namespace stratovane {

namespace {

constexpr const char* kName = "stratovane-blank";
constexpr const char* kFallbackName = "weather-few-clouds";
// A 1×22 transparent PNG, written as is: no image library is loaded for it. One pixel wide, so
// hosts that keep the aspect ratio leave next to no gap before the label.
constexpr unsigned char kPng[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48,
    0x44, 0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x16, 0x08, 0x06, 0x00, 0x00,
    0x00, 0x01, 0xc6, 0xf6, 0xaa, 0x00, 0x00, 0x00, 0x0c, 0x49, 0x44, 0x41, 0x54, 0x78,
    0xda, 0x63, 0x60, 0xa0, 0x27, 0x00, 0x00, 0x00, 0x6e, 0x00, 0x01, 0x76, 0xa0, 0xa9,
    0xcf, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};

}  // namespace

std::string BlankIcon::folder() {
  gchar* folder = g_build_filename(g_get_user_runtime_dir(), "stratovane", "icons", nullptr);
  std::string path(folder);
  g_free(folder);
  return path;
}

BlankIcon BlankIcon::install() {
  const std::string folder = BlankIcon::folder();
  const std::string file = folder + "/" + kName + ".png";
  GError* error = nullptr;
  // Written whole and renamed into place: a host reading it at this moment sees a full file.
  if (g_mkdir_with_parents(folder.c_str(), 0700) == 0 &&
      g_file_set_contents(file.c_str(), reinterpret_cast<const gchar*>(kPng), sizeof kPng,
                          &error)) {
    return BlankIcon{folder, kName};
  }
  std::fprintf(stderr, tr("stratovane: cannot write the blank panel icon: %s\n"),
               error != nullptr ? error->message : ("cannot create " + folder).c_str());
  g_clear_error(&error);
  return BlankIcon{{}, kFallbackName};
}

}  // namespace stratovane
