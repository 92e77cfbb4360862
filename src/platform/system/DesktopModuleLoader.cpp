// Loads the graphical front-end from its module, so that only processes that draw map the toolkit.
#include "platform/system/DesktopModuleLoader.h"

#include <gmodule.h>

#include <cstdio>
#include <system_error>

#include "platform/Translation.h"

namespace stratovane {

std::filesystem::path DesktopModuleLoader::location(const char* module) {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  return program.parent_path() / module;
}

std::unique_ptr<DesktopFrontEnd> DesktopModuleLoader::load(int& argc, char**& argv) {
  bool said = false;
  return open(kModuleName, kDesktopFrontEndFactory, argc, argv, said);
}

std::unique_ptr<DesktopFrontEnd> DesktopModuleLoader::loadPanel(int& argc, char**& argv) {
  bool said = false;
  return open(kPanelModuleName, kPanelFrontEndFactory, argc, argv, said);
}

std::unique_ptr<DesktopFrontEnd> DesktopModuleLoader::loadForWindow(int& argc, char**& argv) {
  bool said = false;
  std::unique_ptr<DesktopFrontEnd> desktop =
      open(kModuleName, kDesktopFrontEndFactory, argc, argv, said);
  if (!desktop && !said)
    std::fputs(tr("stratovane: cannot open a window: no usable display\n"), stderr);
  return desktop;
}

std::unique_ptr<DesktopFrontEnd> DesktopModuleLoader::open(const char* name,
                                                           const char* factoryName, int& argc,
                                                           char**& argv, bool& said) {
  said = true;
  const std::filesystem::path path = location(name);
  std::error_code error;
  if (path.empty() || !std::filesystem::is_regular_file(path, error)) {
    std::fprintf(stderr, tr("stratovane: the graphical front-end %s is not installed\n"), name);
    return nullptr;
  }
  GModule* module = g_module_open(path.c_str(), G_MODULE_BIND_LOCAL);
  if (module == nullptr) {
    std::fprintf(stderr, tr("stratovane: cannot load %s: %s\n"), path.c_str(), g_module_error());
    return nullptr;
  }
  gpointer symbol = nullptr;
  if (!g_module_symbol(module, factoryName, &symbol) || symbol == nullptr) {
    std::fprintf(stderr, tr("stratovane: %s is not a Stratovane module\n"), g_module_name(module));
    g_module_close(module);
    return nullptr;
  }
  said = false;
  g_module_make_resident(module);
  const auto factory = reinterpret_cast<DesktopFrontEndFactory>(symbol);
  return std::unique_ptr<DesktopFrontEnd>(factory(&argc, &argv));
}

}  // namespace stratovane
