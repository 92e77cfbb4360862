// The emoji a title starts with, and the name of the icon file it is drawn into.
#pragma once

#include <string>
#include <string_view>

namespace stratovane {

// The first grapheme cluster of `title` when it begins with a pictographic character ("☀️",
// "⚠️", "⏱"); empty otherwise.
std::string leadingEmoji(std::string_view title);

// "stratovane-emoji-2600-fe0f.png": the code points make the name, since hosts cache icons by
// name, so each emoji has its own.
std::string emojiIconFileName(std::string_view emoji);

}  // namespace stratovane
