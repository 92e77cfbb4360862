// The catalogues of po/: complete against the sources, well-formed, with the right plural forms,
// and merged into a desktop entry and metainfo that still validate.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "platform/Settings.h"
#include "platform/Translation.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"
#include "update/UpdateCheck.h"

namespace stratovane {
namespace {

namespace fs = std::filesystem;
using testing::Output;
using testing::run;

const fs::path kPo = fs::path(STRATOVANE_SOURCE_DIR) / "po";
// Extracted from the sources as they are now.
const fs::path kFreshTemplate = fs::path(STRATOVANE_BUILD_DIR) / "po" / "stratovane.pot";

std::string quoted(const fs::path& path) {
  return "'" + path.string() + "'";
}

std::vector<std::string> languages() {
  std::vector<std::string> found;
  std::ifstream in(kPo / "LINGUAS");
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.front() != '#') found.push_back(line);
  }
  return found;
}

TEST(Catalogues, OneForEachLanguageOfTheLanguageSetting) {
  const std::vector<std::string> listed = languages();
  const std::set<std::string> present(listed.begin(), listed.end());
  for (std::string_view code : feedLanguages) {
    // The service's "no" is Norwegian Bokmål, which desktops call nb.
    const std::string language = code == "no" ? "nb" : std::string(code);
    EXPECT_TRUE(present.contains(language)) << language;
    EXPECT_TRUE(fs::is_regular_file(kPo / (language + ".po"))) << language;
  }
}

TEST(Catalogues, EachTranslatesEveryTextOfTheSourcesAndPassesTheFormatCheck) {
  ASSERT_TRUE(fs::is_regular_file(kFreshTemplate)) << "build the stratovane_pot target";
  // The template translators start from is the one the sources give.
  for (const auto& [reference, compared] : {std::pair{kFreshTemplate, kPo / "stratovane.pot"},
                                            {kPo / "stratovane.pot", kFreshTemplate}}) {
    const Output same =
        run("msgcmp --use-untranslated " + quoted(compared) + " " + quoted(reference));
    EXPECT_EQ(same.status, 0) << "po/stratovane.pot is out of date: ninja stratovane_update_po\n"
                              << same.text;
  }
  for (const std::string& language : languages()) {
    SCOPED_TRACE(language);
    const fs::path catalogue = kPo / (language + ".po");
    // Untranslated and fuzzy entries count as missing.
    const Output covered = run("msgcmp " + quoted(catalogue) + " " + quoted(kFreshTemplate));
    EXPECT_EQ(covered.status, 0) << covered.text;
    const Output checked = run("msgfmt --check -o /dev/null " + quoted(catalogue));
    EXPECT_EQ(checked.status, 0) << checked.text;
    EXPECT_EQ(checked.text, "");
  }
}

// The build tree's catalogues in the calling thread's process, for one language at a time.
class CataloguesAtRunTime : public ::testing::Test {
 protected:
  CataloguesAtRunTime() {
    bindtextdomain(kTextDomain, (fs::path(STRATOVANE_BUILD_DIR) / "private" / "locale").c_str());
    bind_textdomain_codeset(kTextDomain, "UTF-8");
  }
  ~CataloguesAtRunTime() override {
    unsetenv("LANGUAGE");
    std::setlocale(LC_MESSAGES, "C");
  }
  static void speak(const char* language) {
    setenv("LANGUAGE", language, 1);
    // A change of locale makes gettext forget what it looked up for the language before.
    std::setlocale(LC_MESSAGES, "C");
    ASSERT_NE(std::setlocale(LC_MESSAGES, "C.UTF-8"), nullptr);
  }
};

TEST_F(CataloguesAtRunTime, PluralFormsFollowEachLanguagesRules) {
  const struct {
    const char* language;
    unsigned long count;
    const char* minutes;
    const char* hours;
  } cases[] = {
      {"en", 1, "%s minute", "%s hour"},         {"en", 0, "%s minutes", "%s hours"},
      {"fr", 0, "%s minute", "%s heure"},        {"fr", 2, "%s minutes", "%s heures"},
      {"ru", 1, "%s минута", "%s час"},          {"ru", 3, "%s минуты", "%s часа"},
      {"ru", 5, "%s минут", "%s часов"},         {"ru", 11, "%s минут", "%s часов"},
      {"ru", 21, "%s минута", "%s час"},         {"pl", 1, "%s minuta", "%s godzina"},
      {"pl", 2, "%s minuty", "%s godziny"},      {"pl", 12, "%s minut", "%s godzin"},
      {"pl", 22, "%s minuty", "%s godziny"},     {"lv", 0, "%s minūšu", "%s stundu"},
      {"lv", 21, "%s minūte", "%s stunda"},      {"lv", 11, "%s minūtes", "%s stundas"},
      {"is", 21, "%s mínúta", "%s klukkustund"}, {"is", 11, "%s mínútur", "%s klukkustundir"},
      {"he", 1, "דקה אחת", "שעה אחת"},           {"he", 3, "%s דקות", "%s שעות"},
      {"de", 30, "%s Minuten", "%s Stunden"},
  };
  for (const auto& expected : cases) {
    SCOPED_TRACE(std::string(expected.language) + " " + std::to_string(expected.count));
    speak(expected.language);
    EXPECT_STREQ(trPlural("%s minute", "%s minutes", expected.count), expected.minutes);
    EXPECT_STREQ(trPlural("%s hour", "%s hours", expected.count), expected.hours);
  }
}

TEST_F(CataloguesAtRunTime, TextsDirectionAndFilledInArgumentsComeFromTheUsersLanguage) {
  speak("de");
  EXPECT_STREQ(tr("Settings"), "Einstellungen");
  EXPECT_STREQ(tr("default:LTR"), "default:LTR");
  EXPECT_EQ(UpdateCheck::offerMessage("9.0.0", "0.1.0"),
            "Stratovane 9.0.0 ist jetzt verfügbar – Sie haben 0.1.0. Möchten Sie es jetzt "
            "herunterladen?");
  speak("he");
  EXPECT_STREQ(tr("default:LTR"), "default:RTL");
  // A language list falls through to the first language with a catalogue; none leaves English.
  speak("xx:nb");
  EXPECT_STREQ(tr("Settings"), "Innstillinger");
  speak("xx");
  EXPECT_STREQ(tr("Settings"), "Settings");
}

TEST(Catalogues, MergedIntoADesktopEntryAndMetainfoThatValidate) {
  const fs::path entry = fs::path(STRATOVANE_BUILD_DIR) / "stratovane.desktop";
  const fs::path metainfo =
      fs::path(STRATOVANE_BUILD_DIR) / "org.stratovane.Stratovane.metainfo.xml";
  for (const std::string& command : {"desktop-file-validate " + quoted(entry),
                                     "appstreamcli validate --no-net " + quoted(metainfo)}) {
    const Output output = run(command);
    EXPECT_EQ(output.status, 0) << command << "\n" << output.text;
    EXPECT_EQ(output.text.find("warning"), std::string::npos) << command << "\n" << output.text;
  }
  const std::string entryText = testing::readFile(entry);
  const std::string metainfoText = testing::readFile(metainfo);
  for (const std::string& language : languages()) {
    for (const char* key : {"GenericName[", "Comment[", "Keywords["})
      EXPECT_NE(entryText.find(key + language + "]="), std::string::npos) << key << language;
    EXPECT_NE(metainfoText.find("<summary xml:lang=\"" + language + "\">"), std::string::npos)
        << language;
    EXPECT_NE(metainfoText.find("<p xml:lang=\"" + language + "\">"), std::string::npos)
        << language;
  }
}

}  // namespace
}  // namespace stratovane
