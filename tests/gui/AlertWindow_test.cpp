// The alert window from its interface file: outlets, the refill, scrolling and selectable texts.
#include "presentation/AlertWindow.h"

#include <gtkmm/adjustment.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "GuiTest.h"
#include "platform/gtk/GtkInterfaceLoader.h"
#include "platform/gtk/GtkWindowAdapter.h"

namespace stratovane {
namespace {

class DayTimes : public TimeFormatting {
 public:
  std::string shortTime(double seconds) const override { return std::to_string(int(seconds)); }
  std::string weekdayShortTime(double seconds) const override {
    return "Wed " + shortTime(seconds);
  }
  bool sameDay(double, double) const override { return false; }
};

// Every widget below `widget`, depth first.
void forEachWidget(Gtk::Widget& widget, const std::function<void(Gtk::Widget&)>& visit) {
  visit(widget);
  if (auto* container = dynamic_cast<Gtk::Container*>(&widget)) {
    for (Gtk::Widget* child : container->get_children()) forEachWidget(*child, visit);
  }
}

std::string manyLines(const std::string& word) {
  std::string text;
  for (int line = 0; line < 80; ++line) text += word + " " + std::to_string(line) + "\n";
  return text;
}

class AlertWindowGtkTest : public testing::GuiTest {
 protected:
  gtk::GtkInterfaceLoader loader;
  AlertWindow controller{loader};
  DayTimes times;
};

TEST_F(AlertWindowGtkTest, RefillShowsTheAlertFromItsTopReadOnlyAndSelectable) {
  const WeatherAlert heat{"Heat advisory", "Deutscher Wetterdienst", 100, 200,
                          manyLines("Hot & dry <inland>")};
  showAlertWindow(controller, heat, times);
  ASSERT_NE(controller.window(), nullptr);
  ASSERT_NE(controller.alertTxtView, nullptr);
  Gtk::Window& window = dynamic_cast<gtk::GtkWindowAdapter&>(*controller.window()).widget();

  Gtk::ScrolledWindow* scrolled = nullptr;
  std::vector<Gtk::Label*> selectable;
  forEachWidget(window, [&](Gtk::Widget& widget) {
    if (auto* found = dynamic_cast<Gtk::ScrolledWindow*>(&widget)) scrolled = found;
    if (auto* label = dynamic_cast<Gtk::Label*>(&widget); label && label->get_selectable())
      selectable.push_back(label);
  });
  ASSERT_NE(scrolled, nullptr);
  std::vector<std::string> texts;
  for (Gtk::Label* label : selectable) texts.push_back(label->get_text());
  std::sort(texts.begin(), texts.end());
  EXPECT_EQ(texts, (std::vector<std::string>{"Deutscher Wetterdienst", "Heat advisory", "Wed 100",
                                             "Wed 200"}));
  EXPECT_EQ(controller.alertTxtView->string(), heat.description);  // markup characters as text
  EXPECT_FALSE(controller.alertTxtView->isEditable());

  // Scrolled down by the user, then refilled with another long alert: back at the top.
  const Glib::RefPtr<Gtk::Adjustment> vertical = scrolled->get_vadjustment();
  ASSERT_TRUE(waitUntil([&] { return vertical->get_upper() > vertical->get_page_size(); }));
  vertical->set_value(vertical->get_upper() - vertical->get_page_size());
  drain();
  ASSERT_GT(vertical->get_value(), 0);
  showAlertWindow(controller, {"Storm", "", std::nullopt, std::nullopt, manyLines("Gusts")}, times);
  EXPECT_TRUE(waitUntil([&] { return vertical->get_value() == 0; })) << vertical->get_value();
  spin(std::chrono::milliseconds(300));  // and stays there once the new text is laid out
  EXPECT_EQ(vertical->get_value(), 0);
  EXPECT_EQ(controller.alertTxtView->insertionPoint(), 0u);
  EXPECT_EQ(controller.alertEndTxt->title(), "");

  controller.okButton();
  EXPECT_FALSE(controller.window()->isVisible());
}

}  // namespace
}  // namespace stratovane
