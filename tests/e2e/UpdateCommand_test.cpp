// `stratovane --check-update` without a display, against an update server on 127.0.0.1.
#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "support/ChildProcess.h"
#include "support/ConfigDir.h"
#include "support/HttpTestServer.h"

namespace stratovane {
namespace {

using testing::ChildProcess;
using testing::hostHasDefaultRoute;
using testing::HttpTestServer;
using testing::serve;

TEST(UpdateCommand, PrintsTheOutcomeAndEndsWithItsStatus) {
  if (!hostHasDefaultRoute()) GTEST_SKIP() << "this machine has no default route";
  const HttpTestServer server([](httplib::Server& routes) {
    const std::string history = "{\\rtf1\\ansi {\\b 9.0.0}\\par Rain in \\'c5re.\\par}";
    // The charsets the real loader reports: one to follow, one that cannot be decoded.
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("9.0.0\n")) utf16 += {c, '\0'};
    serve(routes, "/offer/version/stratovane_version.txt", utf16, "text/plain; charset=UTF-16");
    serve(routes, "/offer/version/stratovane_rh.rtf", history);
    serve(routes, "/current/version/stratovane_version.txt", STRATOVANE_VERSION);
    serve(routes, "/current/version/stratovane_rh.rtf", history);
    serve(routes, "/broken/version/stratovane_version.txt", "9.0.0", "text/plain; charset=x-no");
  });
  const struct {
    const char* folder;
    std::vector<std::string> lines;
    int status;
  } cases[] = {
      {"/offer",
       {"Stratovane 9.0.0",
        std::string(" is now available - you have ") + STRATOVANE_VERSION +
            ". Would you like to download it now?",
        "", "9.0.0", "Rain in \u00C5re."},
       0},
      {"/current", {"You are running the newest version of Stratovane."}, 0},
      {"/broken", {"Could not check online version"}, 1},
  };
  for (const auto& expected : cases) {
    SCOPED_TRACE(expected.folder);
    ChildProcess child({STRATOVANE_BINARY, "--check-update"},
                       {{"STRATOVANE_UPDATE_URL", server.url(expected.folder)},
                        {"DISPLAY", ""},
                        {"WAYLAND_DISPLAY", ""},
                        {"LC_ALL", "C"}});
    std::vector<std::string> lines;
    while (std::optional<std::string> line = child.readLine()) lines.push_back(*line);
    EXPECT_EQ(lines, expected.lines);
    EXPECT_EQ(child.wait(), expected.status);
  }
}

TEST(UpdateCommand, SIGTERMEndsACheckThatWaitsOnItsServer) {
  if (!hostHasDefaultRoute()) GTEST_SKIP() << "this machine has no default route";
  const HttpTestServer silent(HttpTestServer::Misbehaviour::silent);
  ChildProcess child({STRATOVANE_BINARY, "--check-update"},
                     {{"STRATOVANE_UPDATE_URL", silent.url("")}, {"DISPLAY", ""}});
  for (int wait = 0; wait < 200 && silent.requests() == 0; ++wait) usleep(50'000);
  ASSERT_EQ(silent.requests(), 1);
  child.signal(SIGTERM);
  EXPECT_EQ(child.wait(std::chrono::seconds(2)), 0);
}

}  // namespace
}  // namespace stratovane
