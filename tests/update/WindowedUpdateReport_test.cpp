// The command line's window: the run ends when it closes. The windows' refills are checked on
// real widgets by the GUI tests.
#include "update/WindowedUpdateReport.h"

#include <gtest/gtest.h>

#include <optional>

#include "support/FakePlatform.h"
#include "support/FakeWidgets.h"

namespace stratovane {
namespace {

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
  windows.window("ErrorWindow")->close();  // as the window manager's close button does
  runLoop.advance(0.1);
  EXPECT_EQ(status, 0);

  status.reset();
  report.checkEndedSilently(UpdatePresenter::SilentEnd::offline);
  EXPECT_EQ(status, 1);
}

}  // namespace
}  // namespace stratovane
