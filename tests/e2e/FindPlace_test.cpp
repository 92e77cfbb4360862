// `--find-place` of the built binary against a geocoding server on 127.0.0.1.
#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/ChildProcess.h"
#include "support/ConfigDir.h"
#include "support/HttpTestServer.h"

namespace stratovane {
namespace {

using testing::ChildProcess;
using testing::ConfigDir;

class FindPlaceTest : public ::testing::Test {
 protected:
  FindPlaceTest() { config.write("language=17\n"); }

  // Runs `--find-place text` against the test's server.
  ChildProcess find(const std::string& text) const {
    auto environment = config.environment();
    environment["STRATOVANE_GEOCODING_URL"] = server.url("/v1/search");
    environment["DISPLAY"] = ":0";  // named, and still not used
    return ChildProcess({STRATOVANE_BINARY, "--find-place", text}, environment);
  }
  std::vector<std::pair<std::string, std::string>> requests() {
    const std::lock_guard lock(mutex);
    return received;
  }

  ConfigDir config;
  std::mutex mutex;
  std::vector<std::pair<std::string, std::string>> received;  // name and language
  testing::HttpTestServer server{[this](httplib::Server& routes) {
    routes.Get("/v1/search", [this](const httplib::Request& request, httplib::Response& response) {
      const std::string name = request.get_param_value("name");
      {
        const std::lock_guard lock(mutex);
        received.emplace_back(name, request.get_param_value("language"));
      }
      if (name == "slow") std::this_thread::sleep_for(std::chrono::seconds(1));
      if (name == "Nowhere") return response.set_content(R"({"generationtime_ms":0.1})", "");
      if (name == "err")
        return response.set_content(R"({"error":true,"reason":"Invalid count"})", "");
      response.set_content(R"({"results":[
          {"name":"Uppsala","latitude":59.85882,"longitude":17.63889,"country_code":"SE",
           "country":"Sweden","admin1":"Uppsala"},
          {"name":"Tab\there","latitude":-0.5,"longitude":100},
          {"name":"Off","latitude":null,"longitude":1}]})",
                           "application/json");
    });
  }};
};

TEST_F(FindPlaceTest, NothingFoundAndFailuresSayWhyOnStandardErrorWithStatusOne) {
  for (const auto& [text, errors] :
       {std::pair{"Nowhere", "No place found\n"},
        {"err", "Cannot search now: the service said: Invalid count\n"}}) {
    ChildProcess child = find(text);
    EXPECT_EQ(child.readLine(), std::nullopt) << text;
    EXPECT_EQ(child.wait(), 1) << text;
    EXPECT_EQ(child.readErrors(), errors) << text;
  }
}

// Even with a display named, the lookup maps no toolkit while it waits on the service.
TEST_F(FindPlaceTest, PrintsPlacesAsTabSeparatedLinesAsksInTheSettingsLanguageAndLoadsNoToolkit) {
  ChildProcess child = find("slow");
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (requests().empty() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_EQ(requests(), (std::vector<std::pair<std::string, std::string>>{{"slow", "sv"}}));
  const std::string mapped = testing::readFile("/proc/" + std::to_string(child.pid()) + "/maps");
  ASSERT_FALSE(mapped.empty());
  for (const char* library : {"libgtk-3", "libgdk-3", "osmgpsmap", "stratovane-desktop"})
    EXPECT_EQ(mapped.find(library), std::string::npos) << library;
  EXPECT_EQ(child.readLine(), "59.85882\t17.63889\tUppsala, Uppsala, Sweden");
  EXPECT_EQ(child.readLine(), "-0.5\t100.0\tTab here");
  EXPECT_EQ(child.readLine(), std::nullopt);
  EXPECT_EQ(child.wait(), 0);
  EXPECT_EQ(child.readErrors(), "");
}

}  // namespace
}  // namespace stratovane
