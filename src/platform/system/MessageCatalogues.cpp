// The user's language for our texts, from catalogues found relative to the running program.
#include "platform/system/MessageCatalogues.h"

#include <libintl.h>

#include <clocale>
#include <system_error>

#include "platform/Translation.h"

namespace stratovane {

std::filesystem::path MessageCatalogues::folderFor(const std::filesystem::path& programFolder) {
  std::error_code error;
  const std::filesystem::path buildTree = programFolder / "locale";
  if (std::filesystem::is_directory(buildTree, error)) return buildTree;
  return (programFolder / STRATOVANE_LOCALE_RELATIVE_DIR).lexically_normal();
}

void MessageCatalogues::use() {
  // Messages and the character set only: numbers and times read the user's locale on their own.
  std::setlocale(LC_MESSAGES, "");
  std::setlocale(LC_CTYPE, "");
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  // Without its own path the program still finds catalogues installed in the system's folder.
  if (!error) bindtextdomain(kTextDomain, folderFor(program.parent_path()).c_str());
  // Our texts are UTF-8 whatever the character set of the locale.
  bind_textdomain_codeset(kTextDomain, "UTF-8");
}

}  // namespace stratovane
