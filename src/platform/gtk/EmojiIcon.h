// The emoji at the start of the title, drawn as the panel item's icon.
#pragma once

#include <string>

namespace stratovane::gtk {

class EmojiIcon {
 public:
  // Icons are written into `folder`, the icon-theme folder handed to the panel host.
  explicit EmojiIcon(std::string folder) : folder_(std::move(folder)) {}

  // The icon for `emoji`, a title's leadingEmoji, drawn only when it differs from the last one.
  // No emoji, or one that cannot be drawn, keeps the last icon; empty before the first. The icon is
  // the image's full path, one per emoji: hosts look an icon name up in a theme folder they rescan
  // only when its time stamp changes, to the second, and would miss an icon drawn in the second
  // they last looked.
  const std::string& iconForEmoji(const std::string& emoji);

  // The emoji the icon shows; empty before the first.
  const std::string& emoji() const { return emoji_; }
  // The last icon drawn; empty before the first.
  const std::string& path() const { return path_; }

  static constexpr int kSize = 64;  // pixels; hosts scale it to their height

 private:
  std::string folder_;
  std::string emoji_;
  std::string path_;
};

}  // namespace stratovane::gtk
