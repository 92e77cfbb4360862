// The command line in the user's language, and English where no usable catalogue answers.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "support/ChildProcess.h"
#include "support/TempDir.h"

namespace stratovane {
namespace {

namespace fs = std::filesystem;
using testing::ChildProcess;
using testing::TempDir;

struct Said {
  std::string out;
  std::string errors;
  std::optional<int> status;
};

Said runProgram(const std::string& program, const std::string& argument,
                std::map<std::string, std::string> environment) {
  environment.insert({{"DISPLAY", ""},
                      {"WAYLAND_DISPLAY", ""},
                      {"LANGUAGE", ""},
                      {"LC_ALL", ""},
                      {"LC_MESSAGES", ""},
                      {"LANG", ""}});
  ChildProcess child({program, argument}, environment);
  Said said;
  while (std::optional<std::string> line = child.readLine()) said.out += *line + "\n";
  said.status = child.wait();
  said.errors = child.readErrors();
  return said;
}

// In the C locale: the texts of the sources.
Said english(const std::string& argument) {
  return runProgram(STRATOVANE_BINARY, argument, {{"LC_ALL", "C"}});
}

TEST(Language, HelpAndACommandLineErrorFollowTheLocaleNotTheLanguageSetting) {
  const Said help = english("--help");
  ASSERT_EQ(help.out.rfind("Usage: stratovane [--line | --waybar", 0), 0u) << help.out;
  const Said error = english("--no-such-option");
  ASSERT_EQ(error.errors.rfind("stratovane: unknown option --no-such-option\nUsage: ", 0), 0u)
      << error.errors;

  const struct {
    std::map<std::string, std::string> environment;
    const char* help;   // the first line's start
    const char* error;  // the first line
  } cases[] = {
      {{{"LANG", "de_DE.UTF-8"}}, "Aufruf: stratovane [", "stratovane: unbekannte Option"},
      {{{"LANG", "en_US.UTF-8"}, {"LC_MESSAGES", "de_AT.UTF-8"}},
       "Aufruf: stratovane [",
       "stratovane: unbekannte Option"},
      {{{"LC_ALL", "C.UTF-8"}, {"LANGUAGE", "he"}},
       "שימוש: stratovane [",
       "stratovane: אפשרות לא מוכרת"},
      {{{"LC_ALL", "fr_FR.UTF-8"}, {"LANGUAGE", "xx:ru"}},
       "Использование: stratovane [",
       "stratovane: неизвестный параметр"},
  };
  for (const auto& expected : cases) {
    SCOPED_TRACE(expected.help);
    const Said translated = runProgram(STRATOVANE_BINARY, "--help", expected.environment);
    EXPECT_EQ(translated.out.rfind(expected.help, 0), 0u) << translated.out;
    EXPECT_EQ(translated.status, 0);
    const Said failed = runProgram(STRATOVANE_BINARY, "--no-such-option", expected.environment);
    EXPECT_EQ(failed.errors.rfind(std::string(expected.error) + " --no-such-option\n", 0), 0u)
        << failed.errors;
    EXPECT_EQ(failed.status, 2);
  }

  // English wherever no catalogue fits: the C locale ignores LANGUAGE, and a locale the system
  // does not have is the C locale.
  for (const std::map<std::string, std::string>& environment :
       std::vector<std::map<std::string, std::string>>{{{"LC_ALL", "C"}, {"LANGUAGE", "de"}},
                                                       {{"LANG", "xx_YY.UTF-8"}},
                                                       {{"LC_ALL", "C.UTF-8"}, {"LANGUAGE", "xx"}},
                                                       {{"LANG", "en_GB.UTF-8"}}}) {
    EXPECT_EQ(runProgram(STRATOVANE_BINARY, "--help", environment).out, help.out)
        << environment.begin()->second;
  }
}

// A copy of the program with a damaged German catalogue beside it, in the build tree's layout.
TEST(Language, ACatalogueThatCannotBeUsedLeavesTheEnglishTexts) {
  const std::string english = runProgram(STRATOVANE_PROGRAM, "--help", {{"LC_ALL", "C"}}).out;
  const fs::path german =
      fs::path(STRATOVANE_BUILD_DIR) / "private/locale/de/LC_MESSAGES/stratovane.mo";
  const std::string good = testing::readFile(german);
  ASSERT_GT(good.size(), 64u);
  std::string newerRevision = good;
  newerRevision[6] = '\x02';  // major revision 2: a format no C library reads yet
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"not a catalogue", "not a catalogue\n"},
      {"empty", ""},
      {"of a newer format", newerRevision},
      {"cut short", good.substr(0, 64)},
      {"a folder", {}},
      {"unreadable", good},
  };
  TempDir folder;
  const fs::path program = folder / "stratovane";
  fs::copy_file(STRATOVANE_PROGRAM, program);
  const fs::path catalogue = folder / "locale/de/LC_MESSAGES/stratovane.mo";
  fs::create_directories(catalogue.parent_path());
  for (const auto& damaged : cases) {
    SCOPED_TRACE(damaged.what);
    fs::remove_all(catalogue);
    if (std::string_view(damaged.what) == "a folder") {
      fs::create_directory(catalogue);
    } else {
      std::ofstream(catalogue, std::ios::binary) << damaged.bytes;
    }
    if (std::string_view(damaged.what) == "unreadable") {
      if (geteuid() == 0) continue;  // root reads it anyway
      fs::permissions(catalogue, fs::perms::none);
    }
    const Said said = runProgram(program, "--help", {{"LANG", "de_DE.UTF-8"}});
    EXPECT_EQ(said.out, english);
    EXPECT_EQ(said.status, 0) << said.errors;
  }
  // The same copy with the good catalogue speaks German: the damage was what kept it English.
  fs::remove_all(catalogue);
  fs::copy_file(german, catalogue);
  EXPECT_EQ(runProgram(program, "--help", {{"LANG", "de_DE.UTF-8"}}).out.rfind("Aufruf:", 0), 0u);
}

}  // namespace
}  // namespace stratovane
