// Loads the graphical front-end from its module, so that only processes that draw map the toolkit.
#pragma once

#include <filesystem>
#include <memory>

#include "platform/DesktopFrontEnd.h"

namespace stratovane {

class DesktopModuleLoader {
 public:
  static constexpr const char* kModuleName = "stratovane-desktop.so";
  static constexpr const char* kPanelModuleName = "stratovane-panel.so";

  // Beside the running program, which lives in the package's private folder (private/ in the
  // build tree); empty when the program's own path cannot be read.
  static std::filesystem::path location(const char* module = kModuleName);

  // Opens the display through the module. Null, after one line on standard error when the
  // module cannot be loaded, when there is no usable display. The module stays loaded for the
  // rest of the run: the toolkit cannot be unloaded.
  static std::unique_ptr<DesktopFrontEnd> load(int& argc, char**& argv);
  // The same for a process that ran without the toolkit until a window was asked for: one line
  // on standard error whatever the failure, no display included.
  static std::unique_ptr<DesktopFrontEnd> loadForWindow(int& argc, char**& argv);
  // The panel item on D-Bus, without a toolkit until its first window; null, silently, without a
  // session bus, and after one line when the module cannot be loaded.
  static std::unique_ptr<DesktopFrontEnd> loadPanel(int& argc, char**& argv);

 private:
  // `said` tells whether a failure has been reported already.
  static std::unique_ptr<DesktopFrontEnd> open(const char* module, const char* factory, int& argc,
                                               char**& argv, bool& said);
};

}  // namespace stratovane
