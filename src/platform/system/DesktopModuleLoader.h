// Loads the graphical front-end from its module, so that only processes that draw map the toolkit.
#pragma once

#include <filesystem>
#include <memory>
#include <vector>

#include "platform/DesktopFrontEnd.h"

namespace stratovane {

class DesktopModuleLoader {
 public:
  static constexpr const char* kModuleName = "stratovane-desktop.so";

  // Where the module is looked for, in order: beside the running binary (the build tree), then
  // the package's private library folder, relative to the binary's own folder.
  static std::vector<std::filesystem::path> candidates();

  // Opens the display through the module. Null, after one line on standard error when the
  // module cannot be loaded, when there is no usable display. The module stays loaded for the
  // rest of the run: the toolkit cannot be unloaded.
  static std::unique_ptr<DesktopFrontEnd> load(int& argc, char**& argv);
};

}  // namespace stratovane
