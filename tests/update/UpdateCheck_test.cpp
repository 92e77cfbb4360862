// The update check: the version text (its bytes to UTF-8 by the named charset, else UTF-8, else
// ISO-8859-1, then the version read from it), the check's steps and outcomes on fakes (the real
// loader's charsets are the end-to-end test's), and the window of the command line.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "support/FakePlatform.h"
#include "support/FakeWidgets.h"
#include "update/TextDecoding.h"
#include "update/UpdateCheck.h"
#include "update/Version.h"
#include "update/WindowedUpdateReport.h"

namespace stratovane {
namespace {

struct Decoding {
  std::string bytes;
  std::string contentType;
  std::optional<std::string> expected;
};

TEST(TextDecoding, FollowsTheNamedCharsetThenUTF8ThenLatin1) {
  const Decoding cases[] = {
      {"2.1.0\n", "", "2.1.0\n"},
      {"2.1.0 \xC3\xA9", "text/plain", "2.1.0 \xC3\xA9"},  // valid UTF-8
      {"2.1.0 \xE9", "text/plain", "2.1.0 \xC3\xA9"},      // not UTF-8: ISO-8859-1
      {"\x80", "text/plain;charset=\"windows-1252\"", "\xE2\x82\xAC"},
      {"\xA4", "text/plain; format=flowed; CHARSET=iso-8859-15 ", "\xE2\x82\xAC"},
      {std::string("\xFF\xFE\x32\0.\0\x31\0", 8), "text/plain; charset=UTF-16", "2.1"},
      {"2.1.0", "text/plain; charset=utf-8", "2.1.0"},
      {"2.1.0 \xE9", "text/plain; charset=UTF-8", std::nullopt},        // invalid in what it names
      {"\x1B$B\x30", "text/plain; charset=ISO-2022-JP", std::nullopt},  // cut short
      {"2.1.0", "text/plain; charset=no-such-charset", std::nullopt},
  };
  for (const Decoding& decoding : cases) {
    EXPECT_EQ(decodeText(decoding.bytes, decoding.contentType), decoding.expected)
        << decoding.contentType;
  }
}

struct Split {
  std::string text;
  Version expected;
};

TEST(Version, SplitsIntoThreeIntegers) {
  const Split cases[] = {
      {"2.10.3", {2, 10, 3}},
      {"2.1.0\n", {2, 1, 0}},  // the line break ends the number
      {"1.2.3.4", {1, 2, 3}},  // pieces after the third are ignored
      {"1.x.2", {1, 0, 2}},
      {"2.1", {2, 1, 0}},  // missing components are 0
      {"", {0, 0, 0}},
      {" +3. -4.\t5rc1", {3, -4, 5}},
      {"<html><body>404 Not Found</body></html>", {0, 0, 0}},
      {"99999999999999999999.1.1", {INT64_MAX, 1, 1}},
  };
  for (const Split& split : cases) {
    const Version version = Version::parse(split.text);
    EXPECT_EQ(version, split.expected)
        << split.text << " gave " << version.major << "." << version.minor << "." << version.patch;
  }
}

using testing::FakeHttpLoader;
using testing::FakeQueue;
using testing::FakeReachability;

const std::string kServer = "https://updates.test/stratovane";
const std::string kVersionURL = kServer + "/version/stratovane_version.txt";
const std::string kHistoryURL = kServer + "/version/stratovane_rh.rtf";
const std::string kHistory = "{\\rtf1 Fixed the clock}";
const std::string kVersionError = "error: Could not check online version";
const std::string kHistoryError = "error: Could not load the revision history";
const std::string kNoUpdate = "no update";

// Stands in for the RTF reader: "{\rtf" ... "}" is read as its inner text.
std::optional<AttributedString> fakeRTF(std::string_view data) {
  if (!data.starts_with("{\\rtf") || !data.ends_with("}")) return std::nullopt;
  return AttributedString{std::string(data.substr(5, data.size() - 6)), {}};
}

std::string offer(const std::string& published, const std::string& running) {
  return "offer: Stratovane " + published + " is now available - you have " + running +
         ". Would you like to download it now?";
}

// Writes down every outcome shown.
struct RecordingPresenter : UpdatePresenter {
  void showUpdateWindow(const std::string& message, const AttributedString& history) override {
    shown.push_back("offer: " + message);
    revisionHistory = history;
  }
  void showNoUpdateWindow() override { shown.push_back(kNoUpdate); }
  void showErrorWindow(const std::string& text) override { shown.push_back("error: " + text); }
  void checkEndedSilently(SilentEnd reason) override {
    shown.push_back(reason == SilentEnd::offline ? "silent: offline" : "silent: no version");
  }
  std::vector<std::string> shown;
  AttributedString revisionHistory;
};

class UpdateCheckTest : public ::testing::Test {
 protected:
  UpdateCheck makeCheck(HttpLoader& httpLoader, std::optional<std::string> running = "2.0.0",
                        const std::string& server = kServer) {
    return UpdateCheck(UpdateEnvironment{.reachability = reachability,
                                         .loader = httpLoader,
                                         .mainQueue = mainQueue,
                                         .backgroundQueue = backgroundQueue,
                                         .readRTF = fakeRTF,
                                         .runningVersion = std::move(running),
                                         .serverURL = server,
                                         .contact = "someone@stratovane.test"},
                       presenter);
  }

  // Serves these bodies; any other address fails to load.
  void respondWith(std::map<std::string, std::string> bodies) {
    loader.respond = [bodies = std::move(bodies)](const std::string& url) {
      const auto found = bodies.find(url);
      return found == bodies.end() ? std::nullopt : std::optional(found->second);
    };
  }

  void runToTheEnd(UpdateCheck& check) {
    check.run();
    backgroundQueue.runAll();
    mainQueue.runAll();
  }

  FakeReachability routes;
  InternetReachability reachability{&routes};
  FakeHttpLoader loader;
  FakeQueue mainQueue;
  FakeQueue backgroundQueue;
  RecordingPresenter presenter;
};

struct Outcome {
  const char* name;
  std::optional<std::string> published;  // none: the version text cannot be loaded
  std::optional<std::string> history;    // none: the history cannot be loaded
  std::optional<std::string> running;
  std::string expected;
};

TEST_F(UpdateCheckTest, EveryOutcome) {
  const Outcome outcomes[] = {
      {"version not loadable", std::nullopt, kHistory, "2.0.0", kVersionError},
      {"history not loadable", "2.1.0", std::nullopt, "2.0.0", kHistoryError},
      {"history not RTF", "3.0.0", "<html>404</html>", "2.0.0", kHistoryError},
      {"history read before comparing", "2.0.0", "plain", "2.1.0", kHistoryError},
      {"newer minor", "2.1.0", kHistory, "2.0.9", offer("2.1.0", "2.0.9")},
      {"text kept as received", "2.1.0\n", kHistory, "2.0.0", offer("2.1.0\n", "2.0.0")},
      {"numbers, not text", "2.10.0", kHistory, "2.9.9", offer("2.10.0", "2.9.9")},
      {"older published", "2.0.9", kHistory, "2.1.0", kNoUpdate},
      {"same version", "2.1.0", kHistory, "2.1.0", kNoUpdate},
      {"no running version", "9.0.0", kHistory, std::nullopt, "silent: no version"},
  };
  for (const Outcome& outcome : outcomes) {
    std::map<std::string, std::string> bodies;
    if (outcome.published) bodies[kVersionURL] = *outcome.published;
    if (outcome.history) bodies[kHistoryURL] = *outcome.history;
    respondWith(bodies);
    presenter.shown.clear();
    UpdateCheck check = makeCheck(loader, outcome.running);
    runToTheEnd(check);
    EXPECT_EQ(presenter.shown, std::vector<std::string>{outcome.expected}) << outcome.name;
  }
  EXPECT_EQ(presenter.revisionHistory, *fakeRTF(kHistory));
}

TEST_F(UpdateCheckTest, OfflineOrWithoutAnAddressNothingIsLoaded) {
  UpdateCheck unaddressable = makeCheck(loader, "2.0.0", "https://updates .test");
  runToTheEnd(unaddressable);
  routes.flags = FakeReachability::kReachable | FakeReachability::kConnectionRequired;
  UpdateCheck offline = makeCheck(loader);
  runToTheEnd(offline);
  EXPECT_EQ(presenter.shown, (std::vector<std::string>{"error: Bad URL (Should not happen) - "
                                                       "please contact someone@stratovane.test",
                                                       "silent: offline"}));
  EXPECT_TRUE(loader.urls.empty());
}

TEST_F(UpdateCheckTest, DownloadsRunInTheBackgroundAndASecondCheckWaitsForTheFirst) {
  respondWith({{kVersionURL, "2.1.0"}, {kHistoryURL, kHistory}});
  UpdateCheck check = makeCheck(loader);
  check.run();
  check.run();  // ignored: the first is still running
  EXPECT_TRUE(loader.urls.empty()) << "nothing loads on the main thread";
  ASSERT_EQ(backgroundQueue.size(), 1u);
  backgroundQueue.runAll();
  EXPECT_EQ(loader.urls, (std::vector<std::string>{kVersionURL, kHistoryURL}));
  EXPECT_TRUE(presenter.shown.empty());
  EXPECT_TRUE(check.isRunning());
  mainQueue.runAll();
  EXPECT_FALSE(check.isRunning());
  EXPECT_EQ(presenter.shown, std::vector<std::string>{offer("2.1.0", "2.0.0")});

  runToTheEnd(check);  // the next choice of the command checks again
  EXPECT_EQ(presenter.shown.size(), 2u);
}

// The command line shows its outcome in a window; the run ends when the window closes.
TEST(WindowedUpdateReport, TheRunEndsWhenTheWindowIsClosed) {
  testing::FakeInterfaceLoader windows;
  windows.setDocumentView("errorMsg", "errorTV");
  testing::FakeWorkspace workspace;
  testing::FakeRunLoop runLoop;
  std::optional<int> status;
  WindowedUpdateReport report(windows, workspace, "https://updates.test/Stratovane.zip", runLoop,
                              stderr, [&](int code) { status = code; });
  report.showErrorWindow("Could not check online version");
  runLoop.advance(1);
  EXPECT_EQ(status, std::nullopt);
  // As the window manager's close button does.
  windows.get<testing::FakeWindow>("ErrorWindow")->close();
  runLoop.advance(0.1);
  EXPECT_EQ(status, 0);

  status.reset();
  report.checkEndedSilently(UpdatePresenter::SilentEnd::offline);
  EXPECT_EQ(status, 1);
}

}  // namespace
}  // namespace stratovane
