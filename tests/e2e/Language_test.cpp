// The command line in the user's language, and English where no usable catalogue answers.
#include <gtest/gtest.h>

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
  const Said german = runProgram(STRATOVANE_BINARY, "--no-such-option", {{"LANG", "de_DE.UTF-8"}});
  EXPECT_EQ(german.errors.rfind("stratovane: unbekannte Option --no-such-option\n", 0), 0u)
      << german.errors;
  EXPECT_EQ(german.status, 2);

  const std::pair<std::map<std::string, std::string>, std::string> cases[] = {
      {{{"LANG", "de_DE.UTF-8"}}, "Aufruf: stratovane ["},
      {{{"LANG", "en_US.UTF-8"}, {"LC_MESSAGES", "de_AT.UTF-8"}}, "Aufruf: stratovane ["},
      {{{"LC_ALL", "C.UTF-8"}, {"LANGUAGE", "he"}}, "שימוש: stratovane ["},
      // English wherever no catalogue fits: the C locale ignores LANGUAGE, and a locale the
      // system does not have is the C locale.
      {{{"LC_ALL", "C"}, {"LANGUAGE", "de"}}, help.out},
      {{{"LANG", "xx_YY.UTF-8"}}, help.out},
      {{{"LANG", "en_GB.UTF-8"}}, help.out},
  };
  for (const auto& [environment, start] : cases) {
    const Said translated = runProgram(STRATOVANE_BINARY, "--help", environment);
    EXPECT_EQ(translated.out.rfind(start, 0), 0u) << environment.begin()->second << translated.out;
    EXPECT_EQ(translated.status, 0);
  }
}

// A copy of the program with a damaged German catalogue beside it, in the build tree's layout.
TEST(Language, ACatalogueThatCannotBeUsedLeavesTheEnglishTexts) {
  const std::string english = runProgram(STRATOVANE_PROGRAM, "--help", {{"LC_ALL", "C"}}).out;
  const fs::path german =
      fs::path(STRATOVANE_BUILD_DIR) / "private/locale/de/LC_MESSAGES/stratovane.mo";
  const std::string good = testing::readFile(german);
  ASSERT_GT(good.size(), 64u);
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"not a catalogue", "not a catalogue\n"},
      {"cut short", good.substr(0, 64)},
      {"a folder", {}},
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
