// The catalogues an installation carries, found by an installed program wherever the tree is moved.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/ChildProcess.h"
#include "support/TempDir.h"

namespace stratovane {
namespace {

namespace fs = std::filesystem;
using testing::run;
using testing::TempDir;

TEST(InstalledLanguages, EveryCatalogueIsInShareLocaleAndAMovedTreeStillSpeaksTheLanguage) {
  TempDir staging;
  ASSERT_EQ(run("DESTDIR='" + staging.path().string() + "' cmake --install '" +
                STRATOVANE_BUILD_DIR + "'")
                .status,
            0);
  // Moved as a whole: nothing of the prefix it was built for is left in its paths.
  TempDir moved;
  const fs::path root = moved / "elsewhere";
  fs::rename(staging.path(), root);
  fs::path prefix;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.path().filename() == "stratovane" && entry.path().parent_path().filename() == "bin")
      prefix = entry.path().parent_path().parent_path();
  }
  ASSERT_FALSE(prefix.empty());

  std::ifstream linguas(fs::path(STRATOVANE_SOURCE_DIR) / "po" / "LINGUAS");
  int languages = 0;
  for (std::string language; std::getline(linguas, language);) {
    if (language.empty() || language.front() == '#') continue;
    ++languages;
    EXPECT_TRUE(
        fs::is_regular_file(prefix / "share/locale" / language / "LC_MESSAGES" / "stratovane.mo"))
        << language;
  }
  EXPECT_EQ(languages, 18);

  const testing::Output help = run("env -u LANGUAGE -u LC_MESSAGES LC_ALL=nl_NL.UTF-8 '" +
                                   (prefix / "bin/stratovane").string() + "' --help");
  EXPECT_EQ(help.text.rfind("Gebruik: stratovane [", 0), 0u) << help.text;
  const testing::Output entry =
      run("desktop-file-validate '" + (prefix / "share/applications/stratovane.desktop").string() +
          "'");
  EXPECT_EQ(entry.status, 0) << entry.text;
  EXPECT_NE(testing::readFile(prefix / "share/applications/stratovane.desktop")
                .find("Comment[nl]=Het weer op de plaats van uw keuze, in het paneel\n"),
            std::string::npos);
}

}  // namespace
}  // namespace stratovane
