// The entry point of the graphical front-end's loadable module.
#include <exception>
#include <memory>

#include "platform/DesktopFrontEnd.h"
#include "platform/gtk/TrayFrontEnd.h"

extern "C" __attribute__((visibility("default"))) stratovane::DesktopFrontEnd*
stratovane_desktop_front_end_new(int* argc, char*** argv) {
  using stratovane::gtk::TrayFrontEnd;
  try {
    if (!TrayFrontEnd::displayAvailable()) return nullptr;
    return std::make_unique<TrayFrontEnd>(*argc, *argv).release();
  } catch (const std::exception&) {
    return nullptr;
  }
}
