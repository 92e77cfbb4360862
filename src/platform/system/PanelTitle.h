// How a status title is shown in a panel: the emoji as the icon, the rest as the label.
#pragma once

#include <string>

#include "platform/system/PanelLook.h"

namespace stratovane {

struct PanelTitle {
  std::string icon;   // an icon file's full path, or the blank icon's name
  std::string label;  // the title, less the emoji shown as the icon

  // `emoji` is the title's leadingEmoji; `drawnEmoji` and `drawnIcon` the last emoji drawn and
  // its icon, empty before the first. Both looks show a drawn emoji as the icon and the rest as
  // the label: a blank icon would still take an icon's room before the label. A title without a
  // drawn emoji is the label beside `blankIcon` on label hosts, and keeps the last emoji on
  // icon-only hosts rather than show nothing.
  static PanelTitle of(const std::string& title, const std::string& emoji, PanelLook look,
                       const std::string& drawnEmoji, const std::string& drawnIcon,
                       const std::string& blankIcon);
};

}  // namespace stratovane
