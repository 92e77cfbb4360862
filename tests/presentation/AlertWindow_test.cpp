// The alert window's controller and its refill, on fake widgets.
#include "presentation/AlertWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "presentation/PresentationTestSupport.h"
#include "support/FakeWidgets.h"

namespace stratovane {
namespace {

TEST(AlertWindow, EachShowingRefillsEveryOutletInOrder) {
  testing::FakeInterfaceLoader loader;
  loader.setDocumentView("alertTxt", "alertTxtView");
  AlertWindow controller(loader);
  const testing::SecondsTimeFormatting times;
  showAlertWindow(controller, {"Heat", "DWD", 100, 2500, "first\ntext"}, times);
  ASSERT_TRUE(loader.click("okButton"));
  EXPECT_FALSE(controller.window()->isVisible());
  loader.clearLog();
  showAlertWindow(controller, {"Wind", "", std::nullopt, std::nullopt, "a\nb"}, times);
  EXPECT_EQ(
      loader.log(),
      (std::vector<std::string>{
          "AlertWindow.show()", "alertEventTxt.setTitle(Wind)", "alertSenderTxt.setTitle()",
          "alertStartTxt.setTitle()", "alertEndTxt.setTitle()", "alertTxtView.setEditable(true)",
          "alertTxtView.selectAll()", "alertTxtView.insertText(a\nb)",
          "alertTxtView.moveToBeginningOfDocument()", "alertTxtView.setEditable(false)",
          "AlertWindow.center()", "AlertWindow.orderFrontRegardless()"}));
  EXPECT_EQ(loader.textView("alertTxtView")->string(), "a\nb");
  EXPECT_EQ(loader.loadCount("AlertWindow"), 1);

  testing::FakeInterfaceLoader broken;
  broken.setMissingId("alertEndTxt");
  AlertWindow unloaded(broken);
  showAlertWindow(unloaded, {"Heat", "", 1, 2, ""}, times);
  EXPECT_EQ(unloaded.window(), nullptr);
  EXPECT_EQ(unloaded.alertEventTxt, nullptr);  // no half-connected outlets
}

}  // namespace
}  // namespace stratovane
