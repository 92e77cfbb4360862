// The offer, no-update and error windows: their refills, buttons and the command line's window.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/FakePlatform.h"
#include "support/FakeWidgets.h"
#include "update/ErrorWindow.h"
#include "update/WindowedUpdateReport.h"
#include "update/windowUpdate.h"

namespace stratovane {
namespace {

using testing::FakeInterfaceLoader;
using testing::FakeRunLoop;
using testing::FakeWorkspace;

const std::string kArchive = "https://updates.test/resources/Stratovane.zip";

AttributedString history(const std::string& boldPart, const std::string& rest) {
  TextAttributes bold;
  bold.bold = true;
  return {boldPart + rest, {{0, boldPart.size(), bold}}};
}

class UpdateWindowsTest : public ::testing::Test {
 protected:
  UpdateWindowsTest() {
    windows.setDocumentView("errorMsg", "errorTV");
    windows.setDocumentView("revisionString", "revisionMsg");
  }

  FakeInterfaceLoader windows;
  FakeWorkspace workspace;
};

TEST_F(UpdateWindowsTest, TheErrorRefillReplacesTheMessageInOrder) {
  ErrorWindow errorWnd(windows);
  showErrorWindow(errorWnd, "Could not check online version");
  windows.clearLog();
  showErrorWindow(errorWnd, "Could not load the revision history");
  EXPECT_EQ(windows.log(), (std::vector<std::string>{
                               "ErrorWindow.show()",
                               "errorTV.setEditable(true)",
                               "errorTV.selectAll()",
                               "errorTV.insertText(Could not load the revision history)",
                               "errorTV.moveToBeginningOfDocument()",
                               "errorTV.setEditable(false)",
                               "ErrorWindow.center()",
                               "ErrorWindow.orderFrontRegardless()",
                           }));
  EXPECT_EQ(windows.textView("errorTV")->string(), "Could not load the revision history");
  EXPECT_EQ(windows.loadCount("ErrorWindow"), 1);
}

TEST_F(UpdateWindowsTest, TheOfferRefillShowsTheHistoryOnceInOrder) {
  windowUpdate updateWnd(windows, workspace, kArchive);
  showUpdateWindow(updateWnd, "first", history("1.0.0", " first release"));
  windows.clearLog();
  const AttributedString second = history("2.1.0", " faster\n1.0.0 first release");
  showUpdateWindow(updateWnd, "Stratovane 2.1.0 is now available", second);
  EXPECT_EQ(windows.log(), (std::vector<std::string>{
                               "windowUpdate.show()",
                               "verString.setTitle(Stratovane 2.1.0 is now available)",
                               "revisionMsg.setEditable(true)",
                               "revisionMsg.selectAll()",
                               "revisionMsg.insertText()",
                               "revisionMsg.appendAttributedString(" + second.string + ")",
                               "revisionMsg.setEditable(false)",
                               "revisionMsg.moveToBeginningOfDocument()",
                               "windowUpdate.center()",
                               "windowUpdate.orderFrontRegardless()",
                           }));
  const auto text = windows.textView("revisionMsg");
  EXPECT_EQ(text->string(), second.string);
  EXPECT_EQ(text->insertionPoint(), 0u);
}

TEST_F(UpdateWindowsTest, TheCommandLineWindowEndsTheRunWhenClosed) {
  FakeRunLoop runLoop;
  std::optional<int> status;
  WindowedUpdateReport report(windows, workspace, kArchive, runLoop, stderr,
                              [&](int code) { status = code; });
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
