// `stratovane-emoji EMOJI SIZE FILE`: draws the panel item's icon in a process of its own, so the
// long-running panel item never maps the font machinery. Status 0 once FILE is in place.
#include <glib.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "platform/emoji/EmojiPicture.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage: stratovane-emoji EMOJI SIZE FILE\n", stderr);
    return 2;
  }
  const int size = std::atoi(argv[2]);
  if (size < 1 || size > 1024) {
    std::fputs("stratovane-emoji: the size is 1 to 1024 pixels\n", stderr);
    return 2;
  }
  try {
    const std::string png = stratovane::drawEmojiPng(argv[1], size);
    GError* error = nullptr;
    // Written whole and renamed into place: a host reading it at this moment sees a full file.
    if (!g_file_set_contents(argv[3], png.data(), static_cast<gssize>(png.size()), &error)) {
      std::fprintf(stderr, "stratovane-emoji: %s\n", error->message);
      g_error_free(error);
      return 1;
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "stratovane-emoji: %s\n", error.what());
    return 1;
  }
  return 0;
}

// Sanitized builds: fontconfig and Pango keep their caches until the process ends, by design.
extern "C" const char* __lsan_default_options() {
  return "detect_leaks=0";
}
