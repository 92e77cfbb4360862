// How a status title is shown in a panel: the emoji as the icon, the rest as the label.
#include "platform/system/PanelTitle.h"

#include <algorithm>

namespace stratovane {

PanelTitle PanelTitle::of(const std::string& title, const std::string& emoji, PanelLook look,
                          const std::string& drawnEmoji, const std::string& drawnIcon,
                          const std::string& blankIcon) {
  const bool current = !emoji.empty() && drawnEmoji == emoji;
  const bool emojiShown = current || (look == PanelLook::iconOnly && !drawnIcon.empty());
  std::string label = title;
  if (current) label.erase(0, std::min(title.find_first_not_of(' ', emoji.size()), title.size()));
  return PanelTitle{emojiShown ? drawnIcon : blankIcon, std::move(label)};
}

}  // namespace stratovane
