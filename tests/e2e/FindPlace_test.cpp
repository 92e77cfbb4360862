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

struct Lookup {
  std::vector<std::string> lines;
  std::string errors;
  std::optional<int> status;
};

class FindPlaceTest : public ::testing::Test {
 protected:
  FindPlaceTest() { config.write("language=17\n"); }

  std::map<std::string, std::string> environment(const std::string& url) const {
    auto variables = config.environment();
    variables["STRATOVANE_GEOCODING_URL"] = url;
    variables["DISPLAY"] = ":0";  // named, and still not used
    return variables;
  }
  Lookup find(const std::string& text) {
    ChildProcess child({STRATOVANE_BINARY, "--find-place", text},
                       environment(server.url("/v1/search")));
    Lookup run;
    while (const std::optional<std::string> line = child.readLine()) run.lines.push_back(*line);
    run.status = child.wait();
    run.errors = child.readErrors();
    return run;
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

TEST_F(FindPlaceTest, PrintsPlacesAsTabSeparatedLinesAsksInTheSettingsLanguage) {
  const Lookup run = find("Uppsala");
  EXPECT_EQ(run.status, 0) << run.errors;
  EXPECT_EQ(run.lines, (std::vector<std::string>{"59.85882\t17.63889\tUppsala, Uppsala, Sweden",
                                                 "-0.5\t100.0\tTab here"}));
  EXPECT_EQ(run.errors, "");
  EXPECT_EQ(requests(), (std::vector<std::pair<std::string, std::string>>{{"Uppsala", "sv"}}));
}

TEST_F(FindPlaceTest, NothingFoundAndFailuresSayWhyOnStandardErrorWithStatusOne) {
  for (const auto& [text, errors] :
       {std::pair{"Nowhere", "No place found\n"},
        {"err", "Cannot search now: the service said: Invalid count\n"}}) {
    const Lookup run = find(text);
    EXPECT_EQ(run.status, 1) << text;
    EXPECT_TRUE(run.lines.empty()) << text;
    EXPECT_EQ(run.errors, errors) << text;
  }
}

// Even with a display named, the lookup maps no toolkit while it waits on the service.
TEST_F(FindPlaceTest, LoadsNoToolkit) {
  ChildProcess child({STRATOVANE_BINARY, "--find-place", "slow"},
                     environment(server.url("/v1/search")));
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (requests().empty() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_EQ(requests().size(), 1U);
  const std::string mapped = testing::readFile("/proc/" + std::to_string(child.pid()) + "/maps");
  ASSERT_FALSE(mapped.empty());
  for (const char* library : {"libgtk-3", "libgdk-3", "osmgpsmap", "stratovane-desktop"})
    EXPECT_EQ(mapped.find(library), std::string::npos) << library;
  EXPECT_EQ(child.wait(), 0);
}

}  // namespace
}  // namespace stratovane
