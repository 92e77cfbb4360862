// The settings store: layers, typed conversions, the file, damaged files and concurrent reads.
#include "platform/system/FileUserDefaults.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <locale.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <fstream>
#include <limits>
#include <thread>

#include "HelperProcess.h"
#include "platform/system/FileDescriptor.h"
#include "support/TempDir.h"

namespace stratovane {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TempDir;

constexpr auto kMaxInt = std::numeric_limits<std::int64_t>::max();
constexpr auto kMinInt = std::numeric_limits<std::int64_t>::min();

void writeFile(const fs::path& path, std::string_view contents) {
  std::ofstream(path, std::ios::binary) << contents;
}

std::vector<fs::path> entriesOf(const fs::path& directory) {
  std::vector<fs::path> names(fs::directory_iterator(directory), fs::directory_iterator{});
  std::sort(names.begin(), names.end());
  return names;
}

unsigned modeOf(const fs::path& path) {
  return static_cast<unsigned>(fs::status(path).permissions());
}

// Layers and conversions --------------------------------------------------------------------

TEST(FileUserDefaultsLayers, StoredValuesHideFallbacksWhichAreNeverSaved) {
  TempDir dir;
  const fs::path file = dir / "settings.ini";
  {
    FileUserDefaults defaults{file};
    EXPECT_EQ(defaults.integerForKey("interval"), 0);
    EXPECT_EQ(defaults.doubleForKey("latitude"), 0.0);
    EXPECT_EQ(defaults.stringForKey("apiKey"), std::nullopt);
    defaults.registerDefaults(
        {{"interval", "30"}, {"latitude", "59.4040015148249"}, {"apiKey", ""}});
    EXPECT_EQ(defaults.integerForKey("interval"), 30);
    EXPECT_EQ(defaults.doubleForKey("latitude"), 59.4040015148249);
    defaults.setInteger(10, "interval");
    EXPECT_EQ(defaults.integerForKey("interval"), 10);
    defaults.removeObject("interval");
    EXPECT_EQ(defaults.integerForKey("interval"), 30);
    defaults.setInteger(10, "decimals");
  }
  EXPECT_EQ(readFile(file), "[Settings]\ndecimals=10\n");
  FileUserDefaults restarted{file};
  EXPECT_EQ(restarted.stringForKey("apiKey"), std::nullopt);
  restarted.registerDefaults({{"decimals", "0"}});
  EXPECT_EQ(restarted.integerForKey("decimals"), 10);
}

TEST(FileUserDefaultsConversion, ReadsOfStoredNumbersAndTexts) {
  FileUserDefaults defaults{""};
  const std::pair<double, std::int64_t> doublesAsIntegers[] = {
      {2.9, 2},          {-2.9, -2},        {1e300, kMaxInt},
      {-1e300, kMinInt}, {std::nan(""), 0}, {-9223372036854775808.0, kMinInt}};
  for (const auto& [stored, expected] : doublesAsIntegers) {
    defaults.setDouble(stored, "x");
    EXPECT_EQ(defaults.integerForKey("x"), expected) << stored;
  }
  const std::pair<const char*, std::int64_t> textsAsIntegers[] = {
      {"30", 30},
      {"-1", -1},
      {"+7", 7},
      {" \t\n 42abc", 42},
      {"3.9", 3},
      {"1e5", 1},
      {"", 0},
      {"- 5", 0},
      {"9223372036854775807", kMaxInt},
      {"9223372036854775808", kMaxInt},
      {"-9223372036854775808", kMinInt},
      {"-99999999999999999999", kMinInt}};
  for (const auto& [stored, expected] : textsAsIntegers) {
    defaults.setString(stored, "x");
    EXPECT_EQ(defaults.integerForKey("x"), expected) << '"' << stored << '"';
  }
  // Doubles take decimal numbers only.
  const std::pair<const char*, double> textsAsDoubles[] = {
      {"17.994089135126462", 17.994089135126462},
      {"  -1.5e3x", -1500.0},
      {"+.5", 0.5},
      {"1e+", 1.0},
      {"0x1A", 0.0},
      {"inf", 0.0},
      {"nan", 0.0},
      {".", 0.0},
      {"1e999", INFINITY}};
  for (const auto& [stored, expected] : textsAsDoubles) {
    defaults.setString(stored, "x");
    EXPECT_EQ(defaults.doubleForKey("x"), expected) << '"' << stored << '"';
  }
  // Numbers read as texts are the shortest decimal texts.
  defaults.setInteger(-1, "statusBarOption");
  EXPECT_EQ(defaults.stringForKey("statusBarOption"), "-1");
  const std::pair<double, const char*> doublesAsTexts[] = {
      {18.0, "18"}, {59.4040015148249, "59.4040015148249"}, {0.1, "0.1"}};
  for (const auto& [stored, expected] : doublesAsTexts) {
    defaults.setDouble(stored, "x");
    EXPECT_EQ(defaults.stringForKey("x"), expected);
  }
}

TEST(FileUserDefaultsConversion, NumberTextsIgnoreTheProcessLocale) {
  locale_t german = newlocale(LC_NUMERIC_MASK, "de_DE.UTF-8", locale_t{});
  if (german == locale_t{}) GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed";
  FileUserDefaults defaults{""};
  defaults.setString("59.4040015148249", "latitude");
  defaults.setDouble(17.5, "longitude");
  const locale_t previous = uselocale(german);
  const double latitude = defaults.doubleForKey("latitude");
  const auto longitude = defaults.stringForKey("longitude");
  uselocale(previous);
  freelocale(german);
  EXPECT_EQ(latitude, 59.4040015148249);
  EXPECT_EQ(longitude, "17.5");
}

// The file ----------------------------------------------------------------------------------

// How many files were made in `directory` while `action` ran: every save starts with a temporary
// file of a name of its own (renames to one name would be merged into one event).
int savesDuring(const fs::path& directory, const std::function<void()>& action) {
  FileDescriptor fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
  EXPECT_GE(::inotify_add_watch(fd.get(), directory.c_str(), IN_CREATE), 0);
  action();
  alignas(inotify_event) char buffer[4096];
  int saves = 0;
  for (ssize_t length; (length = ::read(fd.get(), buffer, sizeof buffer)) > 0;) {
    for (char* at = buffer; at < buffer + length; ++saves)
      at += sizeof(inotify_event) + reinterpret_cast<const inotify_event*>(at)->len;
  }
  return saves;
}

TEST(FileUserDefaultsFile, IsCreatedPrivateWithItsDirectoryAndTenWritesInBatchesAreOneSave) {
  TempDir dir;
  const fs::path file = dir / "config" / "stratovane" / "settings.ini";
  const mode_t previousMask = ::umask(0);  // the modes must not depend on the umask
  FileUserDefaults defaults{file};
  defaults.setInteger(1, "units");
  const auto tenWrites = [&] {
    defaults.batchWrites([&] {
      defaults.setString("k", "apiKey");
      defaults.batchWrites([&] {
        for (int i = 0; i < 8; ++i) defaults.setInteger(i, "language");
      });
      EXPECT_EQ(defaults.stringForKey("apiKey"), "k");
      defaults.removeObject("units");
    });
    defaults.batchWrites([] {});  // no change, no save
  };
  EXPECT_EQ(savesDuring(file.parent_path(), tenWrites), 1);
  ::umask(previousMask);
  EXPECT_EQ(modeOf(file), 0600u);
  EXPECT_EQ(modeOf(file.parent_path()), 0700u);
  EXPECT_EQ(modeOf(file.parent_path().parent_path()), 0700u);
  EXPECT_EQ(entriesOf(file.parent_path()), std::vector<fs::path>{file});
  EXPECT_EQ(readFile(file), "[Settings]\napiKey=k\nlanguage=7\n");
}

TEST(FileUserDefaultsFile, UnknownKeysCommentsAndLineEndingsOfAValidFile) {
  TempDir dir;
  const fs::path file = dir / "settings.ini";
  writeFile(file,
            "# written by hand\r\n\r\n  [Settings]  \r\n futureKey = some value \r\n"
            "apiKey=abc\r\n\r\n");
  FileUserDefaults defaults{file};
  EXPECT_EQ(defaults.stringForKey("futureKey"), "some value");
  defaults.setString("def", "apiKey");
  EXPECT_EQ(readFile(file), "[Settings]\napiKey=def\nfutureKey=some value\n");
}

// Where GLib's key files read otherwise than this file is written.
TEST(FileUserDefaultsFile, ByteOrderMarkTranslationLikeKeysTheEmptyKeyAndBlanksAtTheEnd) {
  TempDir dir;
  const fs::path file = dir / "settings.ini";
  writeFile(file, "\xEF\xBB\xBF[Settings]\nname[de]=Wetter\n=empty\nkey=value \t\nlast=x\r");
  FileUserDefaults defaults{file};
  EXPECT_EQ(defaults.stringForKey("name[de]"), "Wetter");
  EXPECT_EQ(defaults.stringForKey(""), "empty");
  EXPECT_EQ(defaults.stringForKey("key"), "value");
  EXPECT_EQ(defaults.stringForKey("last"), "x");
  defaults.setString("y", "last");
  EXPECT_EQ(readFile(file), "[Settings]\n=empty\nkey=value\nlast=y\nname\\x5Bde\\x5D=Wetter\n");
}

TEST(FileUserDefaultsFile, NumbersAndHostileTextsReadTheSameAfterAReload) {
  const double doubles[] = {59.4040015148249, 18.0, -0.5, 1e-5, 1e20, -1e300, 5e-324, 0.1};
  const std::int64_t integers[] = {-1, 0, 4, kMaxInt, kMinInt};
  const std::string texts[] = {"",
                               "  leading and trailing  ",
                               "line\nbreaks\r\nand\ttabs",
                               "a=b=c # not a comment",
                               "#starts like a comment",
                               "[Other]\nx=y",
                               "\\s\\n\\\\ literal escapes \\",
                               std::string("nul\0\x01\x1b\x7f", 7),
                               "\xff\xfe not UTF-8 \xc0\xaf \xed\xa0\x80",
                               "\xe2\x9a\xa0\xef\xb8\x8f \xc3\xa9t\xc3\xa9",
                               "59.4abc"};
  TempDir dir;
  const fs::path file = dir / "settings.ini";
  FileUserDefaults defaults{file};
  int n = 0;
  for (double value : doubles) defaults.setDouble(value, "d" + std::to_string(n++));
  for (std::int64_t value : integers) defaults.setInteger(value, "i" + std::to_string(n++));
  for (std::size_t i = 0; i < std::size(texts); ++i) {
    defaults.setString(texts[i], "value" + std::to_string(i));
    defaults.setString("key" + std::to_string(i), texts[i]);
  }
  const std::string saved = readFile(file);
  // One line per key and the group, and the whole file is text.
  EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 1 + n + 2 * std::ssize(texts));
  EXPECT_EQ(saved.find('\0'), std::string::npos);

  FileUserDefaults reloaded{file};
  for (int i = 0; i < n; ++i) {
    const std::string key = (i < 8 ? "d" : "i") + std::to_string(i);
    EXPECT_EQ(reloaded.integerForKey(key), defaults.integerForKey(key)) << key;
    EXPECT_EQ(reloaded.doubleForKey(key), defaults.doubleForKey(key)) << key;
  }
  EXPECT_EQ(reloaded.stringForKey("i8"), "-1");
  EXPECT_EQ(reloaded.stringForKey("d1"), "18");
  for (std::size_t i = 0; i < std::size(texts); ++i) {
    EXPECT_EQ(reloaded.stringForKey("value" + std::to_string(i)), texts[i]) << i;
    EXPECT_EQ(reloaded.stringForKey(texts[i]), "key" + std::to_string(i)) << i;
  }
}

// Changes by other programs ---------------------------------------------------------------

TEST(FileUserDefaultsReload, TakesOnlyFinishedFilesOfOtherWriters) {
  TempDir dir;
  const fs::path file = dir / "settings.ini";
  FileUserDefaults defaults{file};
  defaults.registerDefaults({{"interval", "30"}});
  defaults.batchWrites([&] {
    defaults.setDouble(59.4040015148249, "latitude");
    defaults.setString("old", "apiKey");
  });
  const std::pair<const char*, bool> cases[] = {
      {nullptr, false},                    // the store's own save
      {"", false},                         // just truncated by a writer
      {"[Settings]\napiKey", false},       // half a line
      {"[Sett", false},                    // half the group
      {"[Sett", false},                    // read again: no second copy
      {"[Settings]\napiKey=new\n", true},  // finished
  };
  for (const auto& [contents, changes] : cases) {
    if (contents != nullptr) writeFile(file, contents);
    EXPECT_EQ(defaults.reloadStoredValues(), changes) << (contents ? contents : "own save");
    EXPECT_EQ(defaults.stringForKey("apiKey"), changes ? "new" : "old");
  }
  EXPECT_FALSE(defaults.reloadStoredValues());        // the same file read again
  EXPECT_EQ(defaults.doubleForKey("latitude"), 0.0);  // removed by the writer
  EXPECT_EQ(defaults.integerForKey("interval"), 30);  // fallbacks stay
  // Half-written files were copied aside, never moved: the path holds the finished file.
  EXPECT_EQ(entriesOf(dir.path()).size(), 3u);
}

// Damaged and unreadable files --------------------------------------------------------------

class FileUserDefaultsCorrupt : public ::testing::TestWithParam<std::string> {};

TEST_P(FileUserDefaultsCorrupt, IsCopiedAsideLeftInPlaceAndTheStoreStartsEmpty) {
  TempDir dir;
  const fs::path file = dir / "settings.ini";
  writeFile(file, GetParam());
  FileUserDefaults defaults{file};
  EXPECT_EQ(defaults.stringForKey("apiKey"), std::nullopt);
  EXPECT_TRUE(defaults.savesToFile());
  // Another program may be writing the file: what is at the path stays there.
  EXPECT_EQ(readFile(file), GetParam());
  const auto entries = entriesOf(dir.path());
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_TRUE(entries[1].filename().string().starts_with("settings.ini.corrupt-")) << entries[1];
  EXPECT_EQ(readFile(entries[1]), GetParam());
  EXPECT_EQ(modeOf(entries[1]), 0600u);

  defaults.setString("fresh", "apiKey");
  EXPECT_EQ(readFile(file), "[Settings]\napiKey=fresh\n");
  EXPECT_EQ(entriesOf(dir.path()).size(), 2u);
  // A second damaged file within the same second is kept beside the first.
  writeFile(file, GetParam() + "again");
  FileUserDefaults{file};
  EXPECT_EQ(entriesOf(dir.path()).size(), 3u);
}

INSTANTIATE_TEST_SUITE_P(
    NotSettings, FileUserDefaultsCorrupt,
    ::testing::Values("apiKey=abc\n", "[Settings]\napiKey\n",
                      "[Settings]\napiKey=abc\n[Other]\nx=1\n", "[Settings]\napiKey=a\\qb\n",
                      "[Settings]\napiKey=\\x4\n", std::string("[Settings]\napiKey=a\0b\n", 20),
                      "[Settings]\napiKey=\xff\xfe\n", "\x89PNG\r\n\x1a\n",
                      // Read by GLib's key files, but not settings files.
                      "[Settings]\na=1\n[Settings]\nb=2\n", "[Settings]\napiKey=a\x01b\n",
                      "[Settings]\napiKey=a\rb\n"));

TEST(FileUserDefaultsDamaged, AFileWithoutReadPermissionIsNeverReplaced) {
  // Root reads every file, so the store runs as another user in a child process.
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to run as another user";
  constexpr uid_t nobody = 65534;
  TempDir dir;
  const fs::path directory = dir / "stratovane";
  const fs::path file = directory / "settings.ini";
  fs::create_directory(directory);
  writeFile(file, "[Settings]\napiKey=original\n");
  fs::permissions(dir.path(), fs::perms(0755));
  fs::permissions(file, fs::perms::none);
  // The user owns the directory, so it could replace the file it cannot read.
  ASSERT_EQ(::chown(directory.c_str(), nobody, nobody), 0);
  ASSERT_EQ(::chown(file.c_str(), nobody, nobody), 0);

  // 0: the store started empty, kept a write in memory and stopped saving; 3: no user change.
  const auto answer = testing::runInChild([&] {
    if (::setgroups(0, nullptr) != 0 || ::setresgid(nobody, nobody, nobody) != 0 ||
        ::setresuid(nobody, nobody, nobody) != 0)
      return 3;
    FileUserDefaults defaults{file};
    const bool startedEmpty = !defaults.stringForKey("apiKey").has_value();
    defaults.setString("changed", "apiKey");
    return startedEmpty && defaults.stringForKey("apiKey") == "changed" && !defaults.savesToFile()
               ? 0
               : 1;
  });
  if (answer == 3) GTEST_SKIP() << "cannot run as user " << nobody;
  EXPECT_EQ(answer, 0);
  EXPECT_EQ(readFile(file), "[Settings]\napiKey=original\n");
  EXPECT_EQ(entriesOf(directory), std::vector<fs::path>{file});
}

TEST(FileUserDefaultsDamaged, ValuesStayInMemoryWhenTheFileCannotBeWritten) {
  TempDir dir;
  writeFile(dir / "blocker", "a file where a directory should be");
  FileUserDefaults failing{dir / "blocker" / "stratovane" / "settings.ini"};
  failing.setString("kept", "apiKey");
  EXPECT_EQ(failing.stringForKey("apiKey"), "kept");
  // A directory in place of the file is not moved and never replaced.
  fs::create_directory(dir / "settings.ini");
  FileUserDefaults blocked{dir / "settings.ini"};
  EXPECT_FALSE(blocked.savesToFile());
  blocked.setString("kept", "apiKey");
  EXPECT_EQ(blocked.stringForKey("apiKey"), "kept");
  EXPECT_TRUE(fs::is_directory(dir / "settings.ini"));
}

// Threads and paths -------------------------------------------------------------------------

// The saves run outside the readers' lock.
TEST(FileUserDefaultsThreads, ReadersSeeWholeValuesWhileTheMainThreadWrites) {
  TempDir dir;
  const fs::path file = dir / "settings.ini";
  const int writes = 40;  // each save waits for the disk
  FileUserDefaults defaults{file};
  defaults.registerDefaults({{"latitude", "59.4040015148249"}});
  std::atomic<bool> done = false;
  std::atomic<int> torn = 0;
  std::vector<std::thread> readers;
  for (int r = 0; r < 4; ++r) {
    readers.emplace_back([&] {
      while (!done) {
        const double latitude = defaults.doubleForKey("latitude");
        if (latitude != 59.4040015148249 && latitude != 10.25) ++torn;
        const auto key = defaults.stringForKey("apiKey");
        if (key && *key != std::string(300, 'a') && *key != std::string(300, 'b')) ++torn;
        // A place written in one batch is read in one piece.
        double east = 0, north = 0;
        defaults.readTogether([&] {
          east = defaults.doubleForKey("longitude");
          north = defaults.doubleForKey("decimals");
        });
        if (east != north) ++torn;
      }
    });
  }
  for (int i = 0; i < writes; ++i) {
    defaults.setString(std::string(300, i % 2 ? 'a' : 'b'), "apiKey");
    defaults.setInteger(i, "units");
    i % 2 ? defaults.setDouble(10.25, "latitude") : defaults.removeObject("latitude");
    defaults.batchWrites([&] {
      defaults.setDouble(i, "longitude");
      defaults.setDouble(i, "decimals");
    });
  }
  done = true;
  for (auto& reader : readers) reader.join();
  EXPECT_EQ(torn, 0);
  EXPECT_EQ(FileUserDefaults(file).integerForKey("units"), writes - 1);
}

TEST(FileUserDefaultsPaths, DefaultPathFollowsXdgConfigHomeWhenAbsolute) {
  EXPECT_EQ(FileUserDefaults::defaultPath("/cfg", "/home/u"), "/cfg/stratovane/settings.ini");
  for (const char* unusable : {"", "relative/cfg"}) {
    EXPECT_EQ(FileUserDefaults::defaultPath(unusable, "/home/u"),
              "/home/u/.config/stratovane/settings.ini");
  }
  // Without a usable HOME the password database names the home directory.
  EXPECT_TRUE(FileUserDefaults::defaultPath(nullptr, "").is_absolute());
}

}  // namespace
}  // namespace stratovane
