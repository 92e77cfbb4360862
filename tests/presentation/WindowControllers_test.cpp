// The alert and forecast windows' controllers on fake widgets: what each showing writes, and a
// failed load. The forecast window's refill is checked on real widgets by the GUI tests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "presentation/AlertWindow.h"
#include "presentation/PresentationTestSupport.h"
#include "presentation/forcastWindows.h"
#include "support/FakeWidgets.h"

namespace stratovane {
namespace {

using testing::FakeInterfaceLoader;

TEST(AlertWindow, EachShowingRefillsEveryOutletInOrder) {
  FakeInterfaceLoader loader;
  loader.setDocumentView("alertTxt", "alertTxtView");
  AlertWindow controller(loader);
  const testing::SecondsTimeFormatting times;
  showAlertWindow(controller, {"Heat", "DWD", 100, 2500, {"first\ntext"}}, times);
  ASSERT_TRUE(loader.click("okButton"));
  EXPECT_FALSE(controller.window()->isVisible());
  loader.clearLog();
  showAlertWindow(controller, {"Wind", "", std::nullopt, std::nullopt, {"a\nb"}}, times);
  EXPECT_EQ(loader.log(),
            (std::vector<std::string>{
                "AlertWindow.show()", "alertEventTxt.setTitle(Wind)", "alertSenderTxt.setTitle()",
                "alertStartTxt.setTitle()", "alertEndTxt.setTitle()",
                "alertTxtView.setEditable(true)", "alertTxtView.selectAll()",
                "alertTxtView.insertText()", "alertTxtView.appendAttributedString(a\nb)",
                "alertTxtView.moveToBeginningOfDocument()", "alertTxtView.setEditable(false)",
                "AlertWindow.center()", "AlertWindow.orderFrontRegardless()"}));
  EXPECT_EQ(loader.get<testing::FakeTextView>("alertTxtView")->string(), "a\nb");
  EXPECT_EQ(loader.loadCount("AlertWindow"), 1);
}

TEST(AlertWindow, DescriptionsOfSeveralAreasStandBetweenRules) {
  FakeInterfaceLoader loader;
  loader.setDocumentView("alertTxt", "alertTxtView");
  AlertWindow controller(loader);
  const testing::SecondsTimeFormatting times;
  const auto shownText = [&](std::vector<std::string> descriptions) {
    showAlertWindow(controller, {"Wind", "", std::nullopt, std::nullopt, std::move(descriptions)},
                    times);
    return loader.get<testing::FakeTextView>("alertTxtView")->string();
  };
  const std::string rule = std::string("\n\n") + kAlertRule + "\n\n";
  // The breaks that end one description and begin the next give way to the rule's.
  EXPECT_EQ(shownText({"\nNorth.\n\nGusts.\n", "\r\nSouth.\n", "East.\n"}),
            "\nNorth.\n\nGusts." + rule + "South." + rule + "East.\n");
  EXPECT_EQ(shownText({}), "");
}

TEST(ForcastWindowsLoading, FailedLoadShowsNothingAndRetries) {
  FakeInterfaceLoader loader;
  loader.setMissingInterface("forcastWindows");
  forcastWindows controller(loader);
  showForecastWindow(controller, "text", "01d");
  EXPECT_EQ(controller.window(), nullptr);
  EXPECT_EQ(controller.weatherTxtView, nullptr);
  EXPECT_EQ(controller.weatherIconTxt, nullptr);
  controller.okButton();  // no window to close: nothing happens
  controller.showWindow();
  EXPECT_EQ(loader.loadCount("forcastWindows"), 2);
  EXPECT_EQ(controller.window(), nullptr);
}

}  // namespace
}  // namespace stratovane
