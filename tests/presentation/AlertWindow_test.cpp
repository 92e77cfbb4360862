// The alert window's controller and its refill, on fake widgets.
#include "presentation/AlertWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "presentation/PresentationTestSupport.h"
#include "support/FakeWidgets.h"

namespace stratovane {
namespace {

using testing::FakeInterfaceLoader;

class AlertWindowTest : public ::testing::Test {
 protected:
  AlertWindowTest() { loader.setDocumentView("alertTxt", "alertTxtView"); }

  FakeInterfaceLoader loader;
  AlertWindow controller{loader};
  const testing::SecondsTimeFormatting times;
};

TEST_F(AlertWindowTest, RefillStepsInOrder) {
  showAlertWindow(controller, {"Heat", "DWD", 100, 2500, "Hot.\nDrink."}, times);
  EXPECT_EQ(loader.log(), (std::vector<std::string>{
                              "load(AlertWindow)",
                              "AlertWindow.show()",
                              "alertEventTxt.setTitle(Heat)",
                              "alertSenderTxt.setTitle(DWD)",
                              "alertStartTxt.setTitle(w100)",
                              "alertEndTxt.setTitle(w2500)",
                              "alertTxtView.setEditable(true)",
                              "alertTxtView.selectAll()",
                              "alertTxtView.insertText(Hot.\nDrink.)",
                              "alertTxtView.moveToBeginningOfDocument()",
                              "alertTxtView.setEditable(false)",
                              "AlertWindow.center()",
                              "AlertWindow.orderFrontRegardless()",
                          }));
}

TEST_F(AlertWindowTest, EachShowingReplacesTheWholeAlert) {
  showAlertWindow(controller, {"Heat", "DWD", 100, 2500, "first\ntext"}, times);
  ASSERT_TRUE(loader.click("okButton"));
  EXPECT_FALSE(controller.window()->isVisible());
  showAlertWindow(controller, {"Wind", "", std::nullopt, std::nullopt, "second"}, times);

  EXPECT_TRUE(controller.window()->isVisible());
  EXPECT_EQ(loader.loadCount("AlertWindow"), 1);
  EXPECT_EQ(loader.textFieldCell("alertEventTxt")->title(), "Wind");
  EXPECT_EQ(loader.textFieldCell("alertSenderTxt")->title(), "");
  EXPECT_EQ(loader.textFieldCell("alertStartTxt")->title(), "");
  EXPECT_EQ(loader.textFieldCell("alertEndTxt")->title(), "");
  const auto view = loader.textView("alertTxtView");
  EXPECT_EQ(view->string(), "second");
  EXPECT_EQ(view->insertionPoint(), 0u);
  EXPECT_EQ(view->selectionLength(), 0u);
  EXPECT_FALSE(view->isEditable());
}

TEST(AlertWindowLoading, FailedLoadShowsNothingAndRetries) {
  FakeInterfaceLoader loader;
  loader.setMissingId("alertEndTxt");
  AlertWindow controller(loader);
  const testing::SecondsTimeFormatting times;
  showAlertWindow(controller, {"Heat", "", 1, 2, ""}, times);
  showAlertWindow(controller, {"Heat", "", 1, 2, ""}, times);
  EXPECT_EQ(controller.window(), nullptr);
  EXPECT_EQ(controller.alertEventTxt, nullptr);
  EXPECT_EQ(controller.alertTxtView, nullptr);
  EXPECT_EQ(loader.loadCount("AlertWindow"), 2);
  controller.okButton();  // no window to close: nothing happens
}

}  // namespace
}  // namespace stratovane
