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

TEST_F(ForcastWindowsTest, LoadsOnFirstShowingOnlyAndOkHidesTheWindowForLater) {
  EXPECT_EQ(controller.window(), nullptr);
  EXPECT_EQ(loader.loadCount("forcastWindows"), 0);

  controller.showWindow();
  controller.showWindow();
  ASSERT_NE(controller.window(), nullptr);
  EXPECT_TRUE(controller.window()->isVisible());
  EXPECT_EQ(controller.weatherIconTxt, loader.textFieldCell("weatherIconTxt"));
  EXPECT_EQ(controller.weatherTxtView, loader.textView("weatherTxtView"));
  EXPECT_EQ(controller.weatherTxt, loader.scrollView("weatherTxt"));

  ASSERT_TRUE(loader.click("okButton"));
  EXPECT_FALSE(controller.window()->isVisible());
  showForecastWindow(controller, "again", "01d");
  EXPECT_TRUE(controller.window()->isVisible());
  EXPECT_EQ(loader.loadCount("forcastWindows"), 1);
}

TEST_F(ForcastWindowsTest, RefillReplacesTheTextAndLeavesItReadOnly) {
  showForecastWindow(controller, "first text\n\nMin 1\u00B0", "");
  showForecastWindow(controller, "\u2600\uFE0F 07:00\U0001F31B 18:00\n\nsecond", "10d");

  const auto view = loader.textView("weatherTxtView");
  EXPECT_EQ(view->string(), "\u2600\uFE0F 07:00\U0001F31B 18:00\n\nsecond");
  EXPECT_EQ(view->insertionPoint(), 0u);
  EXPECT_EQ(view->selectionLength(), 0u);
  EXPECT_FALSE(view->isEditable());
  EXPECT_EQ(loader.textFieldCell("weatherIconTxt")->title(), "\U0001F327");
  const auto window = loader.window("forcastWindows");
  EXPECT_EQ(window->centerCount, 2);
  EXPECT_EQ(window->orderFrontCount, 2);
}

TEST_F(ForcastWindowsTest, RefillStepsInOrder) {
  showForecastWindow(controller, "text", "");
  EXPECT_EQ(loader.log(), (std::vector<std::string>{
                              "load(forcastWindows)",
                              "forcastWindows.show()",
                              "weatherIconTxt.setTitle(\u2602\uFE0F)",
                              "weatherTxtView.setEditable(true)",
                              "weatherTxtView.selectAll()",
                              "weatherTxtView.insertText(text)",
                              "weatherTxtView.moveToBeginningOfDocument()",
                              "weatherTxtView.setEditable(false)",
                              "forcastWindows.center()",
                              "forcastWindows.orderFrontRegardless()",
                          }));
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
