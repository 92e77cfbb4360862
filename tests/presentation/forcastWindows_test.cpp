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

// The refill itself is checked on real widgets by the GUI tests.
TEST_F(ForcastWindowsTest, LoadsOnceAndOkHidesTheWindowForLater) {
  EXPECT_EQ(controller.window(), nullptr);
  showForecastWindow(controller, "first", "10d");
  ASSERT_TRUE(loader.click("okButton"));
  EXPECT_FALSE(controller.window()->isVisible());
  showForecastWindow(controller, "second", "");
  EXPECT_TRUE(controller.window()->isVisible());
  EXPECT_EQ(loader.textView("weatherTxtView")->string(), "second");
  EXPECT_EQ(loader.textFieldCell("weatherIconTxt")->title(), "\u2602\uFE0F");
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
