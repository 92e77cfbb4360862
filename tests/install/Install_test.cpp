// What `cmake --install` and the Debian package put on a machine, checked like a packager would.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/ChildProcess.h"
#include "support/TempDir.h"

namespace stratovane {
namespace {

namespace fs = std::filesystem;
using testing::Output;
using testing::run;
using testing::TempDir;

std::string quoted(const fs::path& path) {
  return "'" + path.string() + "'";
}

// The binary's folder's parent: the prefix of the build's installation.
fs::path prefixIn(const fs::path& root) {
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.path().filename() == "stratovane" && entry.path().parent_path().filename() == "bin")
      return entry.path().parent_path().parent_path();
  }
  return {};
}

TEST(Install, ValidatorsAcceptTheDesktopEntryAndTheMetainfo) {
  const fs::path data = fs::path(STRATOVANE_SOURCE_DIR) / "data";
  for (const std::string& command :
       {"desktop-file-validate " + quoted(data / "stratovane.desktop"),
        "appstreamcli validate --no-net " + quoted(data / "org.stratovane.Stratovane.metainfo.xml"),
        "man --warnings -l -Tutf8 -Z " + quoted(data / "stratovane.1") + " >/dev/null"}) {
    const Output output = run(command);
    EXPECT_EQ(output.status, 0) << command << "\n" << output.text;
    EXPECT_EQ(output.text.find("warning"), std::string::npos) << command << "\n" << output.text;
  }
}

TEST(Install, TreeHoldsEveryFileInItsStandardPlaceAndSpeaksTheUsersLanguageWhenMoved) {
  TempDir root;
  ASSERT_EQ(
      run("DESTDIR=" + quoted(root.path()) + " cmake --install " + quoted(STRATOVANE_BUILD_DIR))
          .status,
      0);
  const fs::path prefix = prefixIn(root.path());
  ASSERT_FALSE(prefix.empty());
  for (const char* file :
       {"share/applications/stratovane.desktop",
        "share/metainfo/org.stratovane.Stratovane.metainfo.xml", "share/man/man1/stratovane.1.gz",
        "share/icons/hicolor/scalable/apps/stratovane.svg",
        "share/icons/hicolor/16x16/apps/stratovane.png",
        "share/icons/hicolor/48x48/apps/stratovane.png",
        "share/icons/hicolor/256x256/apps/stratovane.png", "share/doc/stratovane/copyright",
        "share/doc/stratovane/changelog.gz"}) {
    EXPECT_TRUE(fs::is_regular_file(prefix / file)) << file;
  }
  const Output png =
      run("file " + quoted(prefix / "share/icons/hicolor/48x48/apps/stratovane.png"));
  EXPECT_NE(png.text.find("48 x 48"), std::string::npos) << png.text;

  // Moved as a whole: nothing of the prefix it was built for is left in its paths.
  TempDir moved;
  fs::rename(root.path(), moved / "elsewhere");
  const fs::path movedPrefix = prefixIn(moved / "elsewhere");
  std::ifstream linguas(fs::path(STRATOVANE_SOURCE_DIR) / "po" / "LINGUAS");
  int languages = 0;
  for (std::string language; std::getline(linguas, language);) {
    if (language.empty() || language.front() == '#') continue;
    ++languages;
    EXPECT_TRUE(
        fs::is_regular_file(movedPrefix / "share/locale" / language / "LC_MESSAGES/stratovane.mo"))
        << language;
  }
  EXPECT_EQ(languages, 18);
  const Output help = run("env -u LANGUAGE -u LC_MESSAGES LC_ALL=nl_NL.UTF-8 " +
                          quoted(movedPrefix / "bin/stratovane") + " --help");
  EXPECT_EQ(help.text.rfind("Gebruik: stratovane [", 0), 0u) << help.text;
  // The entry installed is the one with the translations merged in.
  EXPECT_NE(testing::readFile(movedPrefix / "share/applications/stratovane.desktop")
                .find("Comment[nl]=Het weer op de plaats van uw keuze, in het paneel\n"),
            std::string::npos);
}

TEST(Install, PackageUnpacksToABinaryThatRuns) {
  TempDir packages;
  const Output cpack =
      run("cpack -G DEB --config " + quoted(fs::path(STRATOVANE_BUILD_DIR) / "CPackConfig.cmake") +
          " -B " + quoted(packages.path()));
  ASSERT_EQ(cpack.status, 0) << cpack.text;
  fs::path package;
  for (const auto& entry : fs::directory_iterator(packages.path())) {
    if (entry.path().extension() == ".deb") package = entry.path();
  }
  ASSERT_FALSE(package.empty()) << cpack.text;

  const Output contents = run("dpkg-deb --contents " + quoted(package));
  for (const char* file :
       {"/bin/stratovane\n", "/stratovane/stratovane\n", "/stratovane/stratovane-desktop.so",
        "/stratovane/stratovane-map.so", "/share/applications/stratovane.desktop",
        "/share/doc/stratovane/copyright", "/share/man/man1/stratovane.1.gz"}) {
    EXPECT_NE(contents.text.find(file), std::string::npos) << file << "\n" << contents.text;
  }
  const Output fields = run("dpkg-deb --field " + quoted(package) + " Depends");
  EXPECT_NE(fields.text.find("libc6"), std::string::npos) << fields.text;

  TempDir root;
  ASSERT_EQ(run("dpkg -x " + quoted(package) + " " + quoted(root.path())).status, 0);
  const Output version = run(quoted(prefixIn(root.path()) / "bin/stratovane") + " --version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.text, std::string("stratovane ") + STRATOVANE_VERSION + "\n");
}

}  // namespace
}  // namespace stratovane
