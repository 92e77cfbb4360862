// The entry point of the panel item's loadable module: GIO and D-Bus load with it, so bar
// processes never map them.
#include <exception>
#include <memory>

#include "platform/DesktopFrontEnd.h"
#include "platform/system/BusFrontEnd.h"
#include "platform/system/DesktopModuleLoader.h"

extern "C" __attribute__((visibility("default"))) stratovane::DesktopFrontEnd*
stratovane_panel_front_end_new(int* argc, char*** argv) {
  using stratovane::DesktopModuleLoader;
  try {
    return stratovane::BusFrontEnd::create(
               [argc, argv] { return DesktopModuleLoader::loadForWindow(*argc, *argv); })
        .release();
  } catch (const std::exception&) {
    return nullptr;
  }
}
