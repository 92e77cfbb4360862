// The cache folder's files: modes, links and odd files refused, and writes that cannot be made.
#include "platform/system/XdgCacheFiles.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>

#include "HelperProcess.h"
#include "support/TempDir.h"

namespace stratovane {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TempDir;

unsigned modeOf(const fs::path& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// What the files said on their error stream.
struct ErrorStream {
  std::string text() const {
    std::fflush(file.get());
    std::rewind(file.get());
    std::string text;
    for (int c; (c = std::fgetc(file.get())) != EOF;) text += static_cast<char>(c);
    return text;
  }
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file{std::tmpfile(), &std::fclose};
};

TEST(XdgCacheFiles, WritesWholeFilesForTheUserAloneAndReadsNoLinkNothingTooLarge) {
  TempDir home;
  const fs::path folder = home / "cache" / "stratovane";
  ErrorStream errors;
  XdgCacheFiles files(folder, errors.file.get());
  EXPECT_EQ(files.read("a.json", 100), std::nullopt);
  ASSERT_TRUE(files.write("a.json", "{}"));
  ASSERT_TRUE(files.write("a.json", "{\"b\":1}"));
  EXPECT_EQ(modeOf(folder), 0700u);
  EXPECT_EQ(modeOf(folder / "a.json"), 0600u);
  EXPECT_EQ(files.read("a.json", 100), "{\"b\":1}");
  EXPECT_EQ(files.read("a.json", 6), std::nullopt) << "larger than the limit";
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1) << "no temporary file is left";

  // A link in the file's place is never read through, and a write replaces the link, not its
  // target.
  std::ofstream(home / "elsewhere") << "{\"secret\":1}";
  fs::create_symlink(home / "elsewhere", folder / "linked.json");
  EXPECT_EQ(files.read("linked.json", 100), std::nullopt);
  ASSERT_TRUE(files.write("linked.json", "{}"));
  EXPECT_EQ(readFile(home / "elsewhere"), "{\"secret\":1}");
  EXPECT_FALSE(fs::is_symlink(folder / "linked.json"));
  files.remove("a.json");
  EXPECT_FALSE(fs::exists(folder / "a.json"));
  EXPECT_EQ(errors.text(), "");
}

// 0 when every write failed and the error stream got exactly one line naming the folder.
int failsAndSaysSoOnce(const fs::path& folder) {
  ErrorStream errors;
  XdgCacheFiles files(folder, errors.file.get());
  if (files.write("a.json", "{}") || files.write("b.json", "{}")) return 1;
  const std::string said = errors.text();
  return said.starts_with("stratovane: ") && std::count(said.begin(), said.end(), '\n') == 1 &&
                 said.find(folder.string()) != std::string::npos
             ? 0
             : 2;
}

TEST(XdgCacheFiles, AFolderThatCannotBeWrittenFailsEachWriteAndSaysSoOnce) {
  TempDir home;
  std::ofstream(home / "stratovane") << "a file where the folder belongs";
  EXPECT_EQ(failsAndSaysSoOnce(home / "stratovane"), 0);

  // Read-only: root writes anywhere, so then the files run as another user in a child.
  const fs::path readOnly = home / "readonly";
  fs::create_directory(readOnly);
  fs::permissions(home.path(), fs::perms(0755));
  fs::permissions(readOnly, fs::perms(0500));
  if (::geteuid() != 0) {
    EXPECT_EQ(failsAndSaysSoOnce(readOnly), 0);
    return;
  }
  constexpr uid_t nobody = 65534;
  ASSERT_EQ(::chown(readOnly.c_str(), nobody, nobody), 0);
  const auto answer = testing::runInChild([&] {
    if (::setgroups(0, nullptr) != 0 || ::setresgid(nobody, nobody, nobody) != 0 ||
        ::setresuid(nobody, nobody, nobody) != 0)
      return 3;
    return failsAndSaysSoOnce(readOnly);
  });
  if (answer == 3) GTEST_SKIP() << "cannot run as user " << nobody;
  EXPECT_EQ(answer, 0);
}

TEST(XdgCacheFiles, TheFolderFollowsXdgCacheHomeElseTheHomeFolder) {
  EXPECT_EQ(XdgCacheFiles::defaultFolder("/c", "/h"), "/c/stratovane");
  EXPECT_EQ(XdgCacheFiles::defaultFolder("", "/h"), "/h/.cache/stratovane");
  EXPECT_EQ(XdgCacheFiles::defaultFolder("relative", "/h"), "/h/.cache/stratovane");
}

}  // namespace
}  // namespace stratovane
