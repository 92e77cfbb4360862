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

namespace stratovane {
namespace {

namespace fs = std::filesystem;

std::string utcTime(double seconds) {
  const auto time = static_cast<std::time_t>(seconds);
  std::tm utc{};
  gmtime_r(&time, &utc);
  char text[8];
  std::strftime(text, sizeof text, "%H:%M", &utc);
  return text;
}

// The cache folder of runs in `config`.
fs::path cacheOf(const testing::ConfigDir& config) {
  return config.path / "cache" / "stratovane";
}

testing::ChildProcess start(const testing::ConfigDir& config, const std::string& endpoint) {
  auto environment = config.environment(endpoint);
  environment["XDG_CACHE_HOME"] = cacheOf(config).parent_path().string();
  return testing::ChildProcess({STRATOVANE_BINARY, "--waybar"}, environment);
}

TEST(KeptAnswer, ShownAtOnceFromTheCurrentHourUnderItsAgeWhileTheServerRefuses) {
  const std::string refused = "http://127.0.0.1:1/onecall";  // nothing listens on port 1
  const double now =
      std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
  const double hour = std::floor(now / 3600) * 3600;
  const double received = std::max(now - 60, std::floor(now / 86400) * 86400);  // today
  // The hour that has ended, the current one and the next.
  std::string hourly;
  for (int i = 0; i < 3; ++i) {
    hourly += (i > 0 ? "," : "") + std::string(R"({"dt":)") +
              std::to_string(hour + (i - 1) * 3600) + R"(,"temp":)" + std::to_string(i) +
              R"(,"weather":[{"description":"kept","icon":"01d"}]})";
  }
  const testing::ConfigDir config;
  config.write("apiKey=k\nstatusBarOption=1\n");
  fs::create_directories(cacheOf(config));
  std::ofstream(cacheOf(config) / "last-answer.json")
      << R"({"receivedAt":)" << std::to_string(received) << R"(,"endpoint":")" << refused
      << R"(","latitude":59.4040015148249,"longitude":17.994089135126462,"units":"metric",)"
      << R"("language":"en","answer":{"current":{"temp":3},"hourly":[)" << hourly << "]}}";

  testing::ChildProcess child = start(config, refused);
  const std::string tooltip = "\"tooltip\":\"Updated at " + utcTime(received) + "\\n\u2600\uFE0F " +
                              utcTime(hour) + ": kept : 1 \u00B0\\n" + "\u2600\uFE0F " +
                              utcTime(hour + 3600) + ": kept : 2 \u00B0\\n";
  const std::optional<std::string> first = child.readLine();
  ASSERT_TRUE(first) << child.readErrors();
  EXPECT_TRUE(first->starts_with("{\"text\":\"\u23F1 Fetching...\"," + tooltip)) << *first;
  const std::string failure =
      testing::hostHasDefaultRoute() ? "\u26A0\uFE0F Bad API call" : "\u26A0\uFE0F Offline";
  const std::optional<std::string> second = child.readLine();
  ASSERT_TRUE(second);
  EXPECT_TRUE(second->starts_with("{\"text\":\"" + failure + "\"," + tooltip)) << *second;
  EXPECT_EQ(child.readErrors(), "");
  child.signal(SIGTERM);
  EXPECT_EQ(child.wait(), 0);
}

TEST(KeptAnswer, ACacheFolderThatCannotBeWrittenIsSaidOnceAndChangesNothingElse) {
  const testing::HttpTestServer server([](httplib::Server& routes) {
    testing::serve(routes, "/onecall", testing::lightRainAnswer, "application/json");
  });
  const testing::ConfigDir config;
  config.write("apiKey=k\nstatusBarOption=0\n");
  fs::create_directories(cacheOf(config).parent_path());
  std::ofstream(cacheOf(config)) << "a file in the folder's place";
  testing::ChildProcess child = start(config, server.url("/onecall"));
  const std::string rain = R"({"text":"🌧 light rain","tooltip":""})";
  EXPECT_TRUE(child.readLine());  // fetching
  EXPECT_EQ(child.readLine(), rain);
  child.signal(SIGUSR1);
  EXPECT_EQ(child.readLine(), rain);
  const std::string errors = child.readErrors();
  EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
  EXPECT_NE(errors.find(cacheOf(config).string()), std::string::npos) << errors;
  child.signal(SIGTERM);
  EXPECT_EQ(child.wait(), 0);
}

}  // namespace
}  // namespace stratovane
