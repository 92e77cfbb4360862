// The built binary in its text-bar modes, against a server on 127.0.0.1.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "support/ChildProcess.h"
#include "support/ConfigDir.h"
#include "support/HttpTestServer.h"

namespace stratovane {
namespace {

using testing::ChildProcess;
using testing::ConfigDir;
using testing::hostHasDefaultRoute;
namespace fs = std::filesystem;

const std::string kFetching = "\u23F1 Fetching...";

void expectCleanExit(ChildProcess& child) {
  child.signal(SIGTERM);
  EXPECT_EQ(child.wait(), 0);
}

TEST(LineFrontEnd, NoKeyAndBadCall) {
  if (!hostHasDefaultRoute()) GTEST_SKIP() << "this machine has no default route";
  ConfigDir config;
  {
    ChildProcess child({STRATOVANE_BINARY, "--line"}, config.environment());
    EXPECT_EQ(child.readLine(), kFetching);
    EXPECT_EQ(child.readLine(), "\u26A0\uFE0F No API key");
    expectCleanExit(child);
  }
  config.write("apiKey=abc\n");
  ChildProcess child({STRATOVANE_BINARY, "--line"},
                     config.environment("http://127.0.0.1:" +
                                        std::to_string(testing::HttpTestServer::refusedPort()) +
                                        "/data/2.5/onecall"));
  EXPECT_EQ(child.readLine(), kFetching);
  EXPECT_EQ(child.readLine(), "\u26A0\uFE0F Bad API call");
  expectCleanExit(child);
}

TEST(LineFrontEnd, OfflineInANamespaceWithoutRoutes) {
  if (std::system("unshare -n true 2>/dev/null") != 0)
    GTEST_SKIP() << "network namespaces are not permitted here";
  ConfigDir config;
  config.write("apiKey=abc\n");
  ChildProcess child({"unshare", "-n", STRATOVANE_BINARY, "--line"}, config.environment());
  EXPECT_EQ(child.readLine(), kFetching);
  EXPECT_EQ(child.readLine(), "\u26A0\uFE0F Offline");
  expectCleanExit(child);
}

TEST(LineFrontEnd, RequestsTheServerAndRefetchesOnSIGUSR1) {
  if (!hostHasDefaultRoute()) GTEST_SKIP() << "this machine has no default route";
  std::atomic<int> requests = 0;
  std::string query;
  std::mutex queryMutex;
  testing::HttpTestServer server([&](httplib::Server& routes) {
    routes.Get("/onecall", [&](const httplib::Request& request, httplib::Response& response) {
      {
        std::lock_guard lock(queryMutex);
        query = request.target;
      }
      ++requests;
      response.set_content(testing::lightRainAnswer, "application/json");
    });
  });

  ConfigDir config;
  config.write("apiKey=k1\nstatusBarOption=4\ndecimals=1\nlanguage=17\nunits=1\n");
  {
    ChildProcess child({STRATOVANE_BINARY, "--line"}, config.environment(server.url("/onecall")));
    EXPECT_EQ(child.readLine(), kFetching);
    EXPECT_EQ(child.readLine(), "\U0001F327 3.0\u00B0 light rain");
    {
      std::lock_guard lock(queryMutex);
      EXPECT_EQ(query,
                "/onecall?lat=59.4040015148249&lon=17.994089135126462&units=imperial&lang=sv"
                "&appid=k1");
    }
    child.signal(SIGUSR1);
    EXPECT_EQ(child.readLine(), "\U0001F327 3.0\u00B0 light rain");
    EXPECT_EQ(requests, 2);
    expectCleanExit(child);
  }
}

TEST(LineFrontEnd, FetchesWithSettingsThatAnotherProgramSaved) {
  if (!hostHasDefaultRoute()) GTEST_SKIP() << "this machine has no default route";
  std::vector<std::string> queries;
  std::mutex queryMutex;
  testing::HttpTestServer server([&](httplib::Server& routes) {
    routes.Get("/onecall", [&](const httplib::Request& request, httplib::Response& response) {
      std::lock_guard lock(queryMutex);
      queries.push_back(request.target.substr(request.target.find("&units")));
      response.set_content(testing::lightRainAnswer, "application/json");
    });
  });
  ConfigDir config;
  config.write("apiKey=k1\nstatusBarOption=4\n");
  const fs::path path = config.path / "stratovane" / "settings.ini";
  ChildProcess child({STRATOVANE_BINARY, "--line"}, config.environment(server.url("/onecall")));
  EXPECT_EQ(child.readLine(), kFetching);
  EXPECT_EQ(child.readLine(), "\U0001F327 3\u00B0 light rain");

  // In place with a pause, as an editor may write: read only once the writer has closed it.
  {
    std::ofstream file(path);
    file << "[Settings]\napiKey=k2\n" << std::flush;
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    file << "statusBarOption=1\nunits=1\ndecimals=1\n";
  }
  EXPECT_EQ(child.readLine(), "\U0001F327 3.0\u00B0 ");
  // Renamed into place, as another instance saves.
  std::ofstream(path.string() + ".new")
      << "[Settings]\napiKey=k3\nstatusBarOption=4\nlanguage=17\n";
  fs::rename(path.string() + ".new", path);
  EXPECT_EQ(child.readLine(), "\U0001F327 3\u00B0 light rain");

  EXPECT_EQ(child.readLine(std::chrono::milliseconds(1500)), std::nullopt);
  std::lock_guard lock(queryMutex);
  EXPECT_EQ(queries, (std::vector<std::string>{"&units=metric&lang=en&appid=k1",
                                               "&units=imperial&lang=en&appid=k2",
                                               "&units=metric&lang=sv&appid=k3"}));
  expectCleanExit(child);
}

TEST(LineFrontEnd, WithoutADisplayTheDefaultIsTheLineFrontEnd) {
  ConfigDir config;
  ChildProcess child({STRATOVANE_BINARY}, config.environment());
  EXPECT_EQ(child.readLine(), kFetching);
  const std::string errors = child.readErrors();
  EXPECT_NE(errors.find("no graphical session"), std::string::npos) << errors;
  expectCleanExit(child);
  EXPECT_EQ(child.readErrors().find("no graphical session", errors.find('\n')), std::string::npos);
}

TEST(LineFrontEnd, HelpAndVersion) {
  ConfigDir config;
  ChildProcess version({STRATOVANE_BINARY, "--version"}, config.environment());
  EXPECT_EQ(version.readLine(), "stratovane " STRATOVANE_VERSION);
  EXPECT_EQ(version.wait(), 0);
  ChildProcess help({STRATOVANE_BINARY, "--help"}, config.environment());
  EXPECT_EQ(help.readLine()->rfind("Usage: stratovane", 0), 0u);
  EXPECT_EQ(help.wait(), 0);
  ChildProcess wrong({STRATOVANE_BINARY, "--bogus"}, config.environment());
  EXPECT_EQ(wrong.wait(), 2);
}

}  // namespace
}  // namespace stratovane
