// A transparent icon in a private icon-theme folder, for panels that draw an icon beside the label.
#pragma once

#include <string>

namespace stratovane {

struct BlankIcon {
  std::string themePath;  // the folder to hand to the panel host
  std::string name;       // the icon's name, without extension

  // The panel icons' folder in the user's runtime folder (the cache folder when there is none).
  static std::string folder();

  // Writes the icon into folder(), so the panel shows only the label and never a missing-image
  // sign. Reports one line on failure and returns the name of a standard icon instead, which is
  // better than nothing.
  static BlankIcon install();
};

}  // namespace stratovane
