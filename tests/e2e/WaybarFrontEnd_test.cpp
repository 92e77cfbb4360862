// The built binary in waybar mode: the title and the forecast tooltip, the pipe to the bar, and a
// cache folder it cannot use.
#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <thread>

#include "services/WmoWeather.h"
#include "support/ChildProcess.h"
#include "support/ConfigDir.h"
#include "support/HttpTestServer.h"

namespace stratovane {
namespace {

// Two hours from 2023-11-15 00:00 UTC, the second without an icon, and the day.
std::string answer(const std::string& description = "clear sky") {
  return R"({"current":{"temp":21.6,"clouds":75,"weather":[{"description":")" + description +
         R"(","icon":"01d"}]},"hourly":[{"dt":1700006400,"temp":10,"weather":[{"description":)"
         R"("clear sky","icon":"01n"}]},{"dt":1700010000,"temp":11,"weather":[{"description":)"
         R"("clear sky"}]}],"daily":[{"sunrise":1700028000,"sunset":1700060400,)"
         R"("temp":{"min":3.4,"max":12.5},"weather":[{"description":"overcast clouds"}]}]})";
}

TEST(WaybarFrontEnd, TitleAndEscapedTooltip) {
  testing::HttpTestServer server([](httplib::Server& routes) {
    routes.Get("/onecall", [](const httplib::Request&, httplib::Response& response) {
      response.set_content(answer(), "application/json");
    });
  });

  const testing::ConfigDir config;
  config.write("apiKey=k\nstatusBarOption=1\n");
  testing::ChildProcess child({STRATOVANE_BINARY, "--waybar"},
                              config.environment(server.url("/onecall")));
  EXPECT_EQ(child.readLine(), R"({"text":"⏱ Fetching...","tooltip":""})");
  // The missing icon is carried from the hour above; lines are escaped.
  const std::string tooltip =
      "\U0001F315 00:00: clear sky : 10 \u00B0\\n\U0001F315 01:00: clear sky "
      ": 11 \u00B0\\n\\n\u2600\uFE0F 06:00\U0001F31B 15:00\\n\\nMin "
      "3\u00B0 Max 12\u00B0\\n\\novercast clouds";
  EXPECT_EQ(child.readLine(),
            "{\"text\":\"\u2600\uFE0F 22\u00B0 \",\"tooltip\":\"" + tooltip + "\"}");
  child.signal(SIGTERM);
  EXPECT_EQ(child.wait(), 0);
}

TEST(WaybarFrontEnd, OpenMeteoAnswerWithItsCreditEndingTheTooltip) {
  const testing::HttpTestServer server([](httplib::Server& routes) {
    testing::serve(routes, "/om/v1/forecast", R"({"utc_offset_seconds": 0,
        "current": {"time": 1700006400, "temperature_2m": -0.6, "weather_code": 71, "is_day": 0},
        "hourly": {"time": [1700006400], "temperature_2m": [-0.6], "weather_code": [71],
                   "is_day": [0]},
        "daily": {"time": [1700006400], "weather_code": [2], "temperature_2m_min": [-3],
                  "temperature_2m_max": [1], "sunrise": [1700028000], "sunset": [1700060400]}})",
                   "application/json");
  });
  const testing::ConfigDir config;
  config.write("apiKey=secret\nstatusBarOption=1\nunits=1\n");
  testing::ChildProcess child({STRATOVANE_BINARY, "--waybar"},
                              config.environment(server.url("/om/v1/forecast")));
  child.readLine();  // fetching
  const std::string snow = "\u2744\uFE0F";
  EXPECT_EQ(child.readLine(),
            "{\"text\":\"" + snow + " -1\u00B0 \",\"tooltip\":\"" + snow +
                " 00:00: " + std::string(descriptionForWmoCode(71, "en").value_or("")) +
                " : -1 \u00B0\\n\\n\u2600\uFE0F 06:00\U0001F31B 15:00\\n\\nMin -3\u00B0 Max 1\u00B0"
                "\\n\\n" +
                std::string(descriptionForWmoCode(2, "en").value_or("")) +
                "\\n\\nWeather data by Open-Meteo.com\"}");
  EXPECT_EQ(child.readErrors(), "");
  child.signal(SIGTERM);
  EXPECT_EQ(child.wait(), 0);
}

TEST(WaybarFrontEnd, ACacheFolderThatCannotBeWrittenIsSaidOnceAndChangesNothingElse) {
  const testing::HttpTestServer server([](httplib::Server& routes) {
    testing::serve(routes, "/onecall", testing::lightRainAnswer, "application/json");
  });
  const testing::ConfigDir config;
  config.write("apiKey=k\nstatusBarOption=0\n");
  const std::filesystem::path cache = config.path / "cache";
  std::filesystem::create_directories(cache);
  std::ofstream(cache / "stratovane") << "a file in the folder's place";
  auto environment = config.environment(server.url("/onecall"));
  environment["XDG_CACHE_HOME"] = cache.string();
  testing::ChildProcess child({STRATOVANE_BINARY, "--waybar"}, environment);
  const std::string rain = R"({"text":"🌧 light rain","tooltip":""})";
  EXPECT_TRUE(child.readLine());  // fetching
  EXPECT_EQ(child.readLine(), rain);
  child.signal(SIGUSR1);
  EXPECT_EQ(child.readLine(), rain);
  const std::string errors = child.readErrors();
  EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
  EXPECT_NE(errors.find((cache / "stratovane").string()), std::string::npos) << errors;
  child.signal(SIGTERM);
  EXPECT_EQ(child.wait(), 0);
}

TEST(WaybarFrontEnd, EndsWhenTheBarHasGone) {
  const testing::ConfigDir config;
  testing::ChildProcess child({STRATOVANE_BINARY, "--waybar"}, config.environment());
  EXPECT_EQ(child.readLine(), R"({"text":"⚠️ No API key","tooltip":""})");
  // One hint names the service that needs no key.
  const std::string hint = child.readErrors();
  EXPECT_NE(hint.find("weatherEndpoint=https://api.open-meteo.com/v1/forecast"), std::string::npos)
      << hint;
  EXPECT_NE(hint.find("stratovane --settings"), std::string::npos) << hint;
  // Nothing more is written without a key: only the hang-up can end it.
  child.closeOutput();
  EXPECT_EQ(child.wait(std::chrono::seconds(1)), 0);
}

// Waits until the process has reached main: SIGUSR1 held (during set-up, which lasts a few
// milliseconds) or, when the poll missed that, caught. True in the first case.
bool heldDuringSetUp(pid_t pid) {
  const auto bit = 1ull << (SIGUSR1 - 1);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < deadline) {
    const std::string status = testing::readFile("/proc/" + std::to_string(pid) + "/status");
    const auto mask = [&](const std::string& name) {
      const auto at = status.find(name + ":\t");
      return at == std::string::npos ? 0 : std::stoull(status.substr(at + 8, 16), nullptr, 16);
    };
    if ((mask("SigBlk") & bit) != 0) return true;
    if ((mask("SigCgt") & bit) != 0) return false;
  }
  ADD_FAILURE() << "the process never reached main";
  return false;
}

TEST(WaybarFrontEnd, ABarThatNeverReadsNeitherBlocksSignalsNorIsKilledByAnEarlyOne) {
  // One title larger than the pipe: the bar's pipe fills and stays full.
  std::atomic<int> requests = 0;
  const testing::HttpTestServer server([&](httplib::Server& routes) {
    routes.Get("/onecall", [&](const httplib::Request&, httplib::Response& response) {
      ++requests;
      response.set_content(answer(std::string(200000, 'x')), "application/json");
    });
  });
  const testing::ConfigDir config;
  config.write("apiKey=k\nstatusBarOption=0\n");
  testing::ChildProcess child({STRATOVANE_BINARY, "--waybar"},
                              config.environment(server.url("/onecall")));
  const bool early = heldDuringSetUp(child.pid());
  child.signal(SIGUSR1);
  if (!early) std::cerr << "SIGUSR1 was sent after set-up this time\n";
  // The pipe holds 64 KiB in pages; the first short line leaves part of one page unused.
  constexpr std::size_t full = 65536 - 4096;
  for (int turn = 0; turn < 2000 && child.unreadOutput() < full; ++turn)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_GE(child.unreadOutput(), full);
  // The held SIGUSR1 fetches once the program is ready.
  for (int turn = 0; turn < 500 && requests < 2; ++turn)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(requests, 2);
  child.signal(SIGTERM);
  EXPECT_EQ(child.wait(std::chrono::seconds(1)), 0);
}

}  // namespace
}  // namespace stratovane
