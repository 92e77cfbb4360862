// The file watch on a real directory: writers in place and by rename, seen once they finish.
#include "platform/system/GioFileWatch.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string_view>

#include "MainContextRunner.h"
#include "platform/system/FileDescriptor.h"
#include "support/TempDir.h"

namespace stratovane {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::runMainContextFor;
using testing::runMainContextUntil;

void append(int fd, std::string_view text) {
  ASSERT_EQ(::write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
}

TEST(GioFileWatch, CallsOnceAWriterHasFinishedAndNotForOtherFiles) {
  testing::TempDir dir;
  const fs::path file = dir / "config" / "settings.ini";  // the directory is made by the watch
  GioFileWatch watch;
  int changes = 0;
  ASSERT_TRUE(watch.watch(file, [&] { ++changes; }));

  // In place, with a pause in the middle: nothing until the writer closes the file.
  FileDescriptor fd(::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
  ASSERT_TRUE(fd);
  append(fd.get(), "[Settings]\n");
  runMainContextFor(300ms);
  append(fd.get(), "apiKey=a\n");
  runMainContextFor(300ms);
  EXPECT_EQ(changes, 0);
  fd.close();
  EXPECT_TRUE(runMainContextUntil([&] { return changes == 1; }, 5s));

  // Renamed into place, as the store and most editors save.
  const fs::path temporary = dir / "config" / "settings.ini.tmp";
  FileDescriptor(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600)).close();
  fs::rename(temporary, file);
  EXPECT_TRUE(runMainContextUntil([&] { return changes == 2; }, 5s));

  // Other files in the directory and a deletion are no change.
  FileDescriptor(::open((dir / "config" / "other").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600))
      .close();
  fs::remove(file);
  runMainContextFor(500ms);
  EXPECT_EQ(changes, 2);
}

}  // namespace
}  // namespace stratovane
