// A transparent icon in a private icon-theme folder, for panels that draw an icon beside the label.
#include "platform/gtk/BlankIcon.h"

#include <gdkmm/pixbuf.h>
#include <glib/gstdio.h>
#include <glibmm/fileutils.h>
#include <glibmm/miscutils.h>

#include <cstdio>
#include <exception>
#include <memory>

#include "platform/Translation.h"

namespace stratovane::gtk {

namespace {

constexpr const char* kName = "stratovane-blank";
constexpr const char* kFallbackName = "weather-few-clouds";
// One pixel wide: hosts that keep the aspect ratio leave next to no gap before the label.
constexpr int kWidth = 1;
constexpr int kHeight = 22;

}  // namespace

BlankIcon BlankIcon::install() {
  const std::string folder =
      Glib::build_filename(Glib::get_user_runtime_dir(), "stratovane", "icons");
  try {
    if (g_mkdir_with_parents(folder.c_str(), 0700) != 0) {
      throw Glib::FileError(Glib::FileError::FAILED, "cannot create " + folder);
    }
    const Glib::RefPtr<Gdk::Pixbuf> pixels =
        Gdk::Pixbuf::create(Gdk::COLORSPACE_RGB, true, 8, kWidth, kHeight);
    pixels->fill(0x00000000);
    gchar* buffer = nullptr;
    gsize size = 0;
    pixels->save_to_buffer(buffer, size, "png");
    const std::unique_ptr<gchar, decltype(&g_free)> owned(buffer, &g_free);
    // Written whole and renamed into place: a host reading it at this moment sees a full file.
    Glib::file_set_contents(Glib::build_filename(folder, std::string(kName) + ".png"), buffer,
                            static_cast<gssize>(size));
    return BlankIcon{folder, kName};
  } catch (const Glib::Error& error) {
    std::fprintf(stderr, tr("stratovane: cannot write the blank panel icon: %s\n"),
                 error.what().c_str());
  } catch (const std::exception& error) {
    std::fprintf(stderr, tr("stratovane: cannot write the blank panel icon: %s\n"), error.what());
  }
  return BlankIcon{{}, kFallbackName};
}

}  // namespace stratovane::gtk
