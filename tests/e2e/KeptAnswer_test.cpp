// The built binary with a kept answer in its cache folder, and with a cache folder it cannot use.
#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "support/ChildProcess.h"
#include "support/ConfigDir.h"
#include "support/HttpTestServer.h"
#include "support/TempDir.h"

namespace stratovane {
namespace {

using testing::ChildProcess;
namespace fs = std::filesystem;

// Nothing listens on port 1: every request is refused at once.
const std::string kRefused = "http://127.0.0.1:1/onecall";

std::string utcTime(double seconds) {
  const auto time = static_cast<std::time_t>(seconds);
  std::tm utc{};
  gmtime_r(&time, &utc);
  char text[8];
  std::strftime(text, sizeof text, "%H:%M", &utc);
  return text;
}

struct CachedRun {
  testing::ConfigDir config;
  testing::TempDir cache;
  fs::path keptFile() const { return cache / "stratovane" / "last-answer.json"; }
  std::unique_ptr<ChildProcess> start(const std::string& endpoint) const {
    auto environment = config.environment(endpoint);
    environment["XDG_CACHE_HOME"] = cache.path().string();
    return std::make_unique<ChildProcess>(std::vector<std::string>{STRATOVANE_BINARY, "--waybar"},
                                          environment);
  }
};

// Kept a minute ago (not before today's midnight) for the registered place, with hours from the
// one that ended now on.
std::string keptAnswer(double now, const std::string& latitude = "59.4040015148249") {
  const double hour = std::floor(now / 3600) * 3600;
  const double received = std::max(now - 60, std::floor(now / 86400) * 86400);
  std::string hourly;
  for (int i = -1; i < 2; ++i) {
    hourly += (i > -1 ? "," : "") + std::string(R"({"dt":)") + std::to_string(hour + i * 3600) +
              R"(,"temp":)" + std::to_string(i + 2) +
              R"(,"weather":[{"description":"kept","icon":"01d"}]})";
  }
  return R"({"receivedAt":)" + std::to_string(received) + R"(,"endpoint":")" + kRefused +
         R"(","latitude":)" + latitude +
         R"(,"longitude":17.994089135126462,"units":"metric","language":"en","answer":)" +
         R"({"current":{"temp":3},"hourly":[)" + hourly + "]}}";
}

TEST(KeptAnswer, ShownFromTheCurrentHourUnderItsAgeWhileTheServerRefusesOnlyWhenItIsOurs) {
  const double now =
      std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
  const double hour = std::floor(now / 3600) * 3600;
  const std::string shownTooltip = "Updated at " +
                                   utcTime(std::max(now - 60, std::floor(now / 86400) * 86400)) +
                                   "\\n\u2600\uFE0F " + utcTime(hour) + ": kept : 2 \u00B0\\n" +
                                   "\u2600\uFE0F " + utcTime(hour + 3600) + ": kept : 3 \u00B0\\n";
  const std::string failure =
      testing::hostHasDefaultRoute() ? "\u26A0\uFE0F Bad API call" : "\u26A0\uFE0F Offline";
  const struct {
    const char* what;
    std::string kept;  // empty: a link to the answer instead of the answer
    bool shown;
  } cases[] = {
      {"ours", keptAnswer(now), true},
      {"a link to ours", "", false},
      {"another place's", keptAnswer(now, "59.5"), false},
  };
  for (const auto& [what, kept, shown] : cases) {
    SCOPED_TRACE(what);
    CachedRun run;
    run.config.write("apiKey=k\nstatusBarOption=1\n");
    fs::create_directories(run.keptFile().parent_path());
    if (kept.empty()) {
      std::ofstream(run.cache / "elsewhere.json") << keptAnswer(now);
      fs::create_symlink(run.cache / "elsewhere.json", run.keptFile());
    } else {
      std::ofstream(run.keptFile()) << kept;
    }
    const auto child = run.start(kRefused);
    const std::optional<std::string> first = child->readLine();
    ASSERT_TRUE(first) << child->readErrors();
    EXPECT_TRUE(first->starts_with("{\"text\":\"\u23F1 Fetching...\",\"tooltip\":\"" +
                                   (shown ? shownTooltip : "\"}")))
        << *first;
    const std::optional<std::string> second = child->readLine();
    ASSERT_TRUE(second);
    EXPECT_TRUE(second->starts_with("{\"text\":\"" + failure + "\",\"tooltip\":\"" +
                                    (shown ? shownTooltip : "\"}")))
        << *second;
    EXPECT_EQ(fs::exists(run.keptFile()), shown) << "what is not shown is removed";
    EXPECT_EQ(child->readErrors(), "");
    child->signal(SIGTERM);
    EXPECT_EQ(child->wait(), 0);
  }
}

TEST(KeptAnswer, ACacheFolderThatCannotBeWrittenIsSaidOnceAndChangesNothingElse) {
  const testing::HttpTestServer server([](httplib::Server& routes) {
    testing::serve(routes, "/onecall", testing::lightRainAnswer, "application/json");
  });
  CachedRun run;
  run.config.write("apiKey=k\nstatusBarOption=0\n");
  std::ofstream(run.cache / "stratovane") << "a file in the folder's place";
  const auto child = run.start(server.url("/onecall"));
  const std::string rain = R"({"text":"🌧 light rain","tooltip":""})";
  EXPECT_TRUE(child->readLine());  // fetching
  EXPECT_EQ(child->readLine(), rain);
  child->signal(SIGUSR1);
  EXPECT_EQ(child->readLine(), rain);
  const std::string errors = child->readErrors();
  EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
  EXPECT_NE(errors.find((run.cache / "stratovane").string()), std::string::npos) << errors;
  child->signal(SIGTERM);
  EXPECT_EQ(child->wait(), 0);
}

}  // namespace
}  // namespace stratovane
