// The forecast window's controller and its refill, on fake widgets.
#include "presentation/forcastWindows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/FakeWidgets.h"

namespace stratovane {
namespace {

using testing::FakeInterfaceLoader;

class ForcastWindowsTest : public ::testing::Test {
 protected:
  ForcastWindowsTest() { loader.setDocumentView("weatherTxt", "weatherTxtView"); }

  FakeInterfaceLoader loader;
  forcastWindows controller{loader};
};

TEST_F(ForcastWindowsTest, LoadsOnceAndEachShowingRefillsInOrder) {
  EXPECT_EQ(controller.window(), nullptr);
  showForecastWindow(controller, "first text\n\nMin 1\u00B0", "10d");
  ASSERT_TRUE(loader.click("okButton"));
  EXPECT_FALSE(controller.window()->isVisible());

  loader.clearLog();
  showForecastWindow(controller, "\u2600\uFE0F 07:00\U0001F31B 18:00\n\nsecond", "");
  EXPECT_EQ(loader.log(),
            (std::vector<std::string>{
                "forcastWindows.show()",
                "weatherIconTxt.setTitle(\u2602\uFE0F)",
                "weatherTxtView.setEditable(true)",
                "weatherTxtView.selectAll()",
                "weatherTxtView.insertText(\u2600\uFE0F 07:00\U0001F31B 18:00\n\nsecond)",
                "weatherTxtView.moveToBeginningOfDocument()",
                "weatherTxtView.setEditable(false)",
                "forcastWindows.center()",
                "forcastWindows.orderFrontRegardless()",
            }));
  EXPECT_TRUE(controller.window()->isVisible());
  EXPECT_EQ(loader.textView("weatherTxtView")->string(),
            "\u2600\uFE0F 07:00\U0001F31B 18:00\n\nsecond");
  EXPECT_EQ(loader.loadCount("forcastWindows"), 1);
}

TEST(ForcastWindowsLoading, FailedLoadShowsNothingAndRetries) {
  FakeInterfaceLoader loader;
  loader.setMissingId("weatherTxtView");
  forcastWindows controller(loader);
  showForecastWindow(controller, "text", "01d");
  EXPECT_EQ(controller.window(), nullptr);
  EXPECT_EQ(controller.weatherTxtView, nullptr);
  EXPECT_EQ(controller.weatherIconTxt, nullptr);
  controller.okButton();  // no window to close: nothing happens

  FakeInterfaceLoader named;
  named.setMissingInterface("forcastWindows");
  forcastWindows other(named);
  other.showWindow();
  other.showWindow();
  EXPECT_EQ(named.loadCount("forcastWindows"), 2);
  EXPECT_EQ(other.window(), nullptr);
}

}  // namespace
}  // namespace stratovane
