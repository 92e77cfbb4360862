// How the panel host draws status items, decided from the program that owns the watcher.
#pragma once

#include <string_view>

namespace stratovane {

enum class PanelLook {
  label,     // the host draws the label; a title without an emoji has a blank icon beside it
  iconOnly,  // the host draws only the icon and shows the title as a tooltip
};

// `program` is the executable's file name, or the kernel's short name of it (15 characters at
// most). Hosts not known to draw labels get icons: an unseen label is an invisible item.
PanelLook panelLookFor(std::string_view program);

}  // namespace stratovane
