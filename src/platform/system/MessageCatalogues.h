// The user's language for our texts, from catalogues found relative to the running program.
#pragma once

#include <filesystem>

namespace stratovane {

class MessageCatalogues {
 public:
  // Takes the language from LANGUAGE, LC_ALL, LC_MESSAGES and LANG, and the catalogues from the
  // folder beside the program; texts stay English where no catalogue answers. Call once, first.
  static void use();

  // For a program in `programFolder`: the build tree's "locale" folder beside it when there is
  // one, otherwise the installed share/locale relative to it.
  static std::filesystem::path folderFor(const std::filesystem::path& programFolder);
};

}  // namespace stratovane
