// Windows through a module loaded on the first request: once on success, again after a failure.
#include "platform/system/ToolkitOnDemand.h"

#include <gtest/gtest.h>

#include "support/FakeWidgets.h"

namespace stratovane {
namespace {

using testing::FakeInterfaceLoader;
using testing::FakeViewPresenter;

// The module's front-end: windows from fakes, nothing else used.
class FakeDesktop : public DesktopFrontEnd {
 public:
  std::shared_ptr<StatusItem> createStatusItem() override { return nullptr; }
  InterfaceLoader& interfaceLoader() override { return loader; }
  ViewPresenter& viewPresenter() override { return presenter; }
  Workspace& workspace() override { throw std::logic_error("not in this test"); }
  LocationService& locationService() override { throw std::logic_error("not in this test"); }
  SessionRole claimSession(std::function<void()>) override { return SessionRole::alone; }
  void watchSleep(std::function<void()>) override {}
  void run() override {}
  void quit() override {}

  FakeInterfaceLoader loader;
  FakeViewPresenter presenter;
};

TEST(ToolkitOnDemand, LoadsWithTheFirstWindowOnceAndRetriesAfterAFailure) {
  int loads = 0;
  bool available = false;
  FakeDesktop* loaded = nullptr;
  ToolkitOnDemand toolkit([&]() -> std::unique_ptr<DesktopFrontEnd> {
    ++loads;
    if (!available) return nullptr;
    auto desktop = std::make_unique<FakeDesktop>();
    loaded = desktop.get();
    return desktop;
  });
  EXPECT_EQ(loads, 0) << "nothing is loaded before a window is asked for";
  EXPECT_FALSE(toolkit.loaded());

  // A failed load gives no window, and the next request tries again.
  EXPECT_EQ(toolkit.loadWindow("ErrorWindow", {}), nullptr);
  EXPECT_EQ(toolkit.loadView("Main", "ViewController", {}), nullptr);
  EXPECT_EQ(loads, 2);

  available = true;
  EXPECT_NE(toolkit.loadWindow("ErrorWindow", {}), nullptr);
  const std::shared_ptr<View> view = toolkit.loadView("Main", "ViewController", {});
  ASSERT_NE(view, nullptr);
  toolkit.present(view, PresentationStyle::transient, {});
  toolkit.bringToFront(*view);
  EXPECT_EQ(loads, 3) << "loaded once, kept for the run";
  EXPECT_TRUE(toolkit.loaded());
  EXPECT_EQ(loaded->loader.loadCount("ErrorWindow"), 1);
  EXPECT_EQ(loaded->presenter.presentCount, 1);
  EXPECT_EQ(loaded->presenter.style, PresentationStyle::transient);
  EXPECT_EQ(loaded->presenter.broughtToFront, std::vector<View*>{view.get()});
}

}  // namespace
}  // namespace stratovane
