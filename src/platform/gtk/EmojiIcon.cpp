// The emoji at the start of the title, drawn as the panel item's icon.
#include "platform/gtk/EmojiIcon.h"

#include <glib.h>

#include <cstdio>
#include <exception>

#include "platform/Translation.h"
#include "platform/emoji/EmojiPicture.h"
#include "platform/system/Emoji.h"

namespace stratovane::gtk {

const std::string& EmojiIcon::iconForEmoji(const std::string& emoji) {
  if (emoji.empty() || emoji == emoji_ || folder_.empty()) return path_;
  const std::string path = folder_ + "/" + emojiIconFileName(emoji);
  try {
    const std::string png = drawEmojiPng(emoji, kSize);
    GError* error = nullptr;
    // Written whole and renamed into place: a host reading it at this moment sees a full file.
    if (!g_file_set_contents(path.c_str(), png.data(), static_cast<gssize>(png.size()), &error)) {
      std::fprintf(stderr, tr("stratovane: cannot draw the panel icon: %s\n"), error->message);
      g_error_free(error);
      return path_;
    }
    emoji_ = emoji;
    path_ = path;
  } catch (const std::exception& error) {
    std::fprintf(stderr, tr("stratovane: cannot draw the panel icon: %s\n"), error.what());
  }
  return path_;
}

}  // namespace stratovane::gtk
