// Opens addresses with GIO's default handler for their scheme.
#include "platform/system/GioWorkspace.h"

#include <gio/gio.h>

#include <cstdio>

#include "platform/Translation.h"

namespace stratovane {

bool GioWorkspace::openURL(const std::string& url) {
  GError* error = nullptr;
  if (g_app_info_launch_default_for_uri(url.c_str(), nullptr, &error)) return true;
  std::fprintf(stderr, tr("stratovane: cannot open %s: %s\n"), url.c_str(),
               error != nullptr ? error->message : tr("no handler"));
  g_clear_error(&error);
  return false;
}

}  // namespace stratovane
