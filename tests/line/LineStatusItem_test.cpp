// Title lines and waybar objects.
#include "platform/line/LineStatusItem.h"

#include <gtest/gtest.h>

#include <string>

#include "support/FakePlatform.h"

namespace stratovane {
namespace {

TEST(LineStatusItem, PlainPrintsEveryTitleAtOnceWaybarOneObjectPerBurstOfChanges) {
  std::string out;
  const auto write = [&out](const std::string& line) { out += line + '\n'; };
  testing::FakeQueue mainQueue;
  LineStatusItem plain(LineFormat::plain, mainQueue, write);
  plain.setTitle("\u23F1 Fetching...");
  plain.setTitle("\u2600\uFE0F 22\u00B0 ");
  plain.setTitle("\u2600\uFE0F 22\u00B0 ");
  EXPECT_EQ(out, "\u23F1 Fetching...\n\u2600\uFE0F 22\u00B0 \n\u2600\uFE0F 22\u00B0 \n");
  EXPECT_EQ(mainQueue.size(), 0u);

  out.clear();
  LineStatusItem item(LineFormat::waybar, mainQueue, write);
  item.setForecastText([] { return std::string("Min 1\u00B0 Max 5\u00B0\n\n\"rain\" <i>"); });
  auto menu = std::make_shared<Menu>();
  item.setMenu(menu);
  menu->addItem(MenuItem::separatorItem());
  menu->addItem({"Quit", [] {}});
  item.setTitle("\u23F1 Fetching...");
  mainQueue.runAll();
  // Before the forecast entries exist the tooltip is empty.
  EXPECT_EQ(out, "{\"text\":\"\u23F1 Fetching...\",\"tooltip\":\"\"}\n");

  item.setTitle("<b>&amp;</b>\\\t\x01");
  menu->removeAllItems();
  menu->addItem({"\u2600\uFE0F 14:00: a<b & c>d : 21 \u00B0", [] {}});
  menu->addItem({"\u2600\uFE0F 15:00: clear : 20 \u00B0", [] {}});
  menu->addItem(MenuItem::separatorItem());
  menu->addItem({"Quit", [] {}});
  mainQueue.runAll();
  EXPECT_EQ(
      out,
      "{\"text\":\"\u23F1 Fetching...\",\"tooltip\":\"\"}\n"
      "{\"text\":\"&lt;b&gt;&amp;amp;&lt;/b&gt;\\\\\\t\\u0001\",\"tooltip\":\"\u2600\uFE0F 14:00: "
      "a&lt;b &amp; c&gt;d : 21 \u00B0\\n"
      "\u2600\uFE0F 15:00: clear : 20 \u00B0\\n\\nMin 1\u00B0 Max 5\u00B0\\n\\n\\\"rain\\\" "
      "&lt;i&gt;\"}\n");
}

TEST(LineStatusItem, WaybarPutsAlertsFirstAndMarksTheObjectWhileOneIsInForce) {
  testing::FakeQueue mainQueue;  // never run: the lines are asked for directly
  LineStatusItem item(LineFormat::waybar, mainQueue, nullptr);
  bool inForce = false;
  item.setAlertInForce([&] { return inForce; });
  auto menu = std::make_shared<Menu>();
  item.setMenu(menu);
  // As the controller builds it: alerts, a separator, hours, two separators, the commands.
  for (const char* title : {"\u26A0\uFE0F Heat until 18:00", "\u26A0\uFE0F Wind", "",
                            "12:00: clear", "", "", "Update forecast", "", "Quit"})
    menu->addItem(*title ? MenuItem{title, [] {}} : MenuItem::separatorItem());
  const std::string object =
      "{\"text\":\"\",\"tooltip\":\"\u26A0\uFE0F Heat until 18:00\\n\u26A0\uFE0F Wind\\n12:00: "
      "clear\"";
  EXPECT_EQ(item.waybarLine(), object + "}");
  inForce = true;
  EXPECT_EQ(item.waybarLine(), object + ",\"class\":\"alert\"}");
}

}  // namespace
}  // namespace stratovane
