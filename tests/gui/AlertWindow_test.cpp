// The alert window from its interface file: the refill, scrolling to the top, selectable texts.
#include "presentation/AlertWindow.h"

#include <gtkmm/adjustment.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>

#include <set>
#include <string>

#include "GuiTest.h"
#include "platform/gtk/GtkInterfaceLoader.h"
#include "presentation/PresentationTestSupport.h"

namespace stratovane {
namespace {

std::string manyLines(const std::string& word) {
  std::string text;
  for (int line = 0; line < 80; ++line) text += word + " " + std::to_string(line) + "\n";
  return text;
}

using AlertWindowGtkTest = testing::GuiTest;

TEST_F(AlertWindowGtkTest, RefillShowsTheAlertFromItsTopReadOnlyAndSelectable) {
  gtk::GtkInterfaceLoader loader;
  AlertWindow controller(loader);
  const testing::SecondsTimeFormatting times;
  showAlertWindow(controller, {"Heat", "DWD", 100, 200, manyLines("Hot & <dry>")}, times);
  ASSERT_NE(controller.window(), nullptr);
  Gtk::Window& window = widgetOf(controller.window());
  std::set<std::string> selectable;
  for (Gtk::Label* label : widgetsOf<Gtk::Label>(window))
    if (label->get_selectable()) selectable.insert(label->get_text());
  EXPECT_EQ(selectable, (std::set<std::string>{"Heat", "DWD", "w100", "w200"}));
  EXPECT_EQ(controller.alertTxtView->string(), manyLines("Hot & <dry>"));
  EXPECT_FALSE(controller.alertTxtView->isEditable());

  // Scrolled down by the user, then refilled with another long alert: back at the very top.
  const auto scrolled = widgetsOf<Gtk::ScrolledWindow>(window);
  ASSERT_FALSE(scrolled.empty());
  const Glib::RefPtr<Gtk::Adjustment> vertical = scrolled.back()->get_vadjustment();
  ASSERT_TRUE(waitUntil([&] { return vertical->get_upper() > vertical->get_page_size(); }));
  vertical->set_value(vertical->get_upper() - vertical->get_page_size());
  showAlertWindow(controller, {"Storm", "", std::nullopt, std::nullopt, manyLines("Gusts")}, times);
  spin(std::chrono::milliseconds(300));  // the new text is laid out
  EXPECT_EQ(vertical->get_value(), 0);
  controller.okButton();
  EXPECT_FALSE(controller.window()->isVisible());
}

}  // namespace
}  // namespace stratovane
