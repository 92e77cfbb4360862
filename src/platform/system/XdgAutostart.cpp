// Start at login through an entry in the XDG autostart folder.
#include "platform/system/XdgAutostart.h"

#include <glib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/Translation.h"
#include "platform/system/FileAccess.h"
#include "platform/system/FileUserDefaults.h"
#include "platform/system/GKeyFilePtr.h"

namespace stratovane {

const char* const kAutostartEntry =
    "[Desktop Entry]\n"
    "Type=Application\n"
    "Name=Stratovane\n"
    "Comment=The weather at your place, in your panel\n"
    "Exec=stratovane\n"
    "Icon=stratovane\n"
    "Terminal=false\n"
    "X-GNOME-Autostart-enabled=true\n";

namespace {

// Entries are a few hundred bytes; anything far larger is not one of ours to parse.
constexpr std::size_t kMaximumEntrySize = 64 * 1024;

// A boolean key that is present and says false, or true, as asked; a malformed value counts as
// absent, as desktops read it.
bool keyIs(GKeyFile* file, const char* key, bool value) {
  GError* error = nullptr;
  const gboolean stored = g_key_file_get_boolean(file, G_KEY_FILE_DESKTOP_GROUP, key, &error);
  if (error != nullptr) {
    g_error_free(error);
    return false;
  }
  return (stored != FALSE) == value;
}

}  // namespace

std::filesystem::path XdgAutostart::defaultPath() {
  // The same configuration folder as the settings file, resolved the same way.
  const std::filesystem::path settings = FileUserDefaults::defaultPath();
  if (settings.empty()) return {};
  return settings.parent_path().parent_path() / "autostart" / "stratovane.desktop";
}

bool XdgAutostart::isEnabled() const {
  if (entry_.empty()) return false;
  const FileContents contents = readRegularFile(entry_, kMaximumEntrySize);
  if (contents.status != FileContents::Status::read) return false;
  const GKeyFilePtr file(g_key_file_new());
  if (!g_key_file_load_from_data(file.get(), contents.bytes.data(), contents.bytes.size(),
                                 G_KEY_FILE_NONE, nullptr))
    return false;
  if (!g_key_file_has_group(file.get(), G_KEY_FILE_DESKTOP_GROUP)) return false;
  return !keyIs(file.get(), G_KEY_FILE_DESKTOP_KEY_HIDDEN, true) &&
         !keyIs(file.get(), "X-GNOME-Autostart-enabled", false);
}

bool XdgAutostart::setEnabled(bool enabled) {
  if (entry_.empty()) {
    std::fputs(tr("stratovane: no home folder for the autostart entry\n"), stderr);
    return false;
  }
  if (!enabled) {
    if (std::remove(entry_.c_str()) == 0 || errno == ENOENT) return true;
    std::fprintf(stderr, tr("stratovane: cannot remove %s: %s\n"), entry_.c_str(),
                 std::strerror(errno));
    return false;
  }
  if (!createDirectories(entry_.parent_path(), 0700) ||
      !replaceFileAtomically(entry_, kAutostartEntry, 0644)) {
    std::fprintf(stderr, tr("stratovane: cannot write %s: %s\n"), entry_.c_str(),
                 std::strerror(errno));
    return false;
  }
  return true;
}

}  // namespace stratovane
