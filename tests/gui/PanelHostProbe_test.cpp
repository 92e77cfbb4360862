// Looking for a panel host: a StatusNotifier watcher on the bus, or an XEmbed tray on the display.
#include "platform/gtk/PanelHostProbe.h"

#include <optional>

#include "FakePanelHost.h"
#include "GuiTest.h"
#include "PrivateBus.h"

namespace stratovane {
namespace {

using gtk::PanelHostProbe;

class PanelHostProbeTest : public testing::GuiTest {
 protected:
  std::optional<bool> ask(PanelHostProbe& probe) {
    std::optional<bool> answer;
    probe.check([&](bool hostPresent) { answer = hostPresent; });
    EXPECT_FALSE(answer.has_value()) << "answered from inside the call";
    EXPECT_TRUE(waitUntil([&] { return answer.has_value(); }));
    return answer;
  }
};

TEST_F(PanelHostProbeTest, AWatcherOnTheBusIsAHost) {
  ASSERT_FALSE(PanelHostProbe::xembedTrayPresent()) << "the test display has a tray of its own";
  testing::PrivateBus bus;
  PanelHostProbe probe(bus.connection());
  EXPECT_EQ(ask(probe), false);
  testing::FakePanelHost host(bus.connection());
  EXPECT_EQ(ask(probe), true);
}

TEST_F(PanelHostProbeTest, NoBusAndNoTrayIsNoHost) {
  PanelHostProbe probe({});
  EXPECT_EQ(ask(probe), false);
}

TEST_F(PanelHostProbeTest, AProbeGoneBeforeTheAnswerCallsNobody) {
  testing::PrivateBus bus;
  bool called = false;
  {
    PanelHostProbe probe(bus.connection());
    probe.check([&](bool) { called = true; });
  }
  spin(std::chrono::milliseconds(300));
  EXPECT_FALSE(called);
}

}  // namespace
}  // namespace stratovane
