// Loads the graphical front-end from its module, so that only processes that draw map the toolkit.
#include "platform/system/DesktopModuleLoader.h"

#include <gmodule.h>

#include <cstdio>
#include <system_error>

namespace stratovane {

std::vector<std::filesystem::path> DesktopModuleLoader::candidates() {
  std::vector<std::filesystem::path> paths;
  std::error_code error;
  const std::filesystem::path binary = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return paths;
  paths.push_back(binary.parent_path() / kModuleName);
  paths.push_back(binary.parent_path() / STRATOVANE_MODULE_DIR / kModuleName);
  return paths;
}

std::unique_ptr<DesktopFrontEnd> DesktopModuleLoader::load(int& argc, char**& argv) {
  GModule* module = nullptr;
  for (const std::filesystem::path& path : candidates()) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) continue;
    module = g_module_open(path.c_str(), G_MODULE_BIND_LOCAL);
    if (module != nullptr) break;
    std::fprintf(stderr, "stratovane: cannot load %s: %s\n", path.c_str(), g_module_error());
    return nullptr;
  }
  if (module == nullptr) {
    std::fprintf(stderr, "stratovane: the graphical front-end %s is not installed\n", kModuleName);
    return nullptr;
  }
  gpointer symbol = nullptr;
  if (!g_module_symbol(module, kDesktopFrontEndFactory, &symbol) || symbol == nullptr) {
    std::fprintf(stderr, "stratovane: %s is not a Stratovane module\n", g_module_name(module));
    g_module_close(module);
    return nullptr;
  }
  g_module_make_resident(module);
  const auto factory = reinterpret_cast<DesktopFrontEndFactory>(symbol);
  return std::unique_ptr<DesktopFrontEnd>(factory(&argc, &argv));
}

}  // namespace stratovane
