// The interface files through GtkBuilder: outlets, actions and the windows' refills on real
// widgets.
#include "platform/gtk/GtkInterfaceLoader.h"

#include <gdkmm/display.h>
#include <gdkmm/monitor.h>
#include <gtkmm/adjustment.h>
#include <gtkmm/button.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/textview.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "GuiTest.h"
#include "presentation/AlertWindow.h"
#include "presentation/PresentationTestSupport.h"
#include "presentation/emojiForIcon.h"
#include "presentation/forcastWindows.h"
#include "support/FakePlatform.h"
#include "update/ErrorWindow.h"
#include "update/NoUpdateWindow.h"
#include "update/windowUpdate.h"

namespace stratovane {
namespace {

const std::string kArchive = "https://updates.test/resources/Stratovane.zip";

std::string manyLines(const std::string& word) {
  std::string text;
  for (int line = 0; line < 80; ++line) text += word + " " + std::to_string(line) + "\n";
  return text;
}

// A bold, centred version line, then enough lines to scroll.
AttributedString revisionHistory(const std::string& version) {
  TextAttributes title;
  title.bold = true;
  title.alignment = TextAlignment::center;
  return {version + "\n" + manyLines("Fixed thing"), {{0, version.size(), title}}};
}

class GtkInterfaceLoaderTest : public testing::GuiTest {
 protected:
  template <class T>
  static T* first(const std::shared_ptr<Window>& window) {
    return widgetsOf<T>(widgetOf(window)).at(0);
  }

  gtk::GtkInterfaceLoader loader;
};

TEST_F(GtkInterfaceLoaderTest, TheForecastWindowIsRefilledHiddenAndShownAgainCentred) {
  forcastWindows controller(loader);
  const std::string forecast =
      "\u2600\uFE0F 06:12\U0001F31B 21:40\n\nMin 3\u00B0 Max 12\u00B0\n\nlight rain";
  showForecastWindow(controller, forecast, "10d");
  ASSERT_NE(controller.window(), nullptr);
  ASSERT_NE(controller.weatherTxt, nullptr);
  EXPECT_EQ(controller.weatherTxtView->string(), forecast);
  EXPECT_EQ(controller.weatherIconTxt->title(), emojiForIcon("10d"));
  Gtk::Window& window = widgetOf(controller.window());
  const auto at = [&](int expectedX, int expectedY) {
    int x = -1, y = -1;
    const bool there = waitUntil([&] {
      window.get_window()->get_root_origin(x, y);
      return x == expectedX && y == expectedY;
    });
    EXPECT_TRUE(there) << "at " << x << "," << y << ", expected " << expectedX << "," << expectedY;
    return there;
  };
  window.move(0, 0);  // by the user
  ASSERT_TRUE(at(0, 0));

  // Closed by the window manager's button: hidden, kept, and shown again with the new text.
  window.close();
  drain();
  EXPECT_FALSE(controller.window()->isVisible());
  showForecastWindow(controller, "later", "");
  EXPECT_TRUE(controller.window()->isVisible());
  EXPECT_EQ(controller.weatherTxtView->string(), "later");
  EXPECT_EQ(controller.weatherIconTxt->title(), emojiForIcon(""));
  // In the middle of its monitor again.
  Gdk::Rectangle area;
  window.get_display()->get_monitor_at_window(window.get_window())->get_workarea(area);
  int width = 0, height = 0;
  window.get_size(width, height);
  at(area.get_x() + (area.get_width() - width) / 2,
     area.get_y() + (area.get_height() - height) / 2);

  // The window's default button, which Enter also presses, is the OK button.
  Gtk::Widget* ok = window.get_default_widget();
  ASSERT_NE(ok, nullptr);
  gtk_button_clicked(GTK_BUTTON(ok->gobj()));
  EXPECT_FALSE(controller.window()->isVisible());
}

TEST_F(GtkInterfaceLoaderTest, AMissingIdOrFileFailsCalmly) {
  // An id missing, one of the wrong type (a button asked for as a text view), a missing file.
  for (const auto& [file, id] : {std::pair<std::string, std::string>{"forcastWindows", "noSuchId"},
                                 {"forcastWindows", "okButton"},
                                 {"noSuchFile", "weatherIconTxt"}}) {
    SCOPED_TRACE(file + " " + id);
    std::shared_ptr<TextView> text, wrong;
    Connections connections;
    connections.textViews = {{"weatherTxtView", &text}, {id, &wrong}};
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(loader.loadWindow(file, connections), nullptr);
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(text == nullptr && wrong == nullptr) << "an outlet was filled, the load failed";
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    EXPECT_NE(errors.find(file), std::string::npos) << errors;
  }
}

TEST_F(GtkInterfaceLoaderTest, TheAlertIsShownFromItsTopReadOnlyAndSelectable) {
  AlertWindow controller(loader);
  const testing::SecondsTimeFormatting times;
  showAlertWindow(controller, {"Heat", "DWD", 100, 200, {manyLines("Hot & <dry>")}}, times);
  ASSERT_NE(controller.window(), nullptr);
  std::set<std::string> selectable;
  for (Gtk::Label* label : widgetsOf<Gtk::Label>(widgetOf(controller.window())))
    if (label->get_selectable()) selectable.insert(label->get_text());
  EXPECT_EQ(selectable, (std::set<std::string>{"Heat", "DWD", "w100", "w200"}));
  EXPECT_EQ(controller.alertTxtView->string(), manyLines("Hot & <dry>"));
  EXPECT_FALSE(controller.alertTxtView->isEditable());

  // Scrolled down by the user, then refilled with another long alert: back at the very top.
  const Glib::RefPtr<Gtk::Adjustment> vertical =
      first<Gtk::ScrolledWindow>(controller.window())->get_vadjustment();
  ASSERT_TRUE(waitUntil([&] { return vertical->get_upper() > vertical->get_page_size(); }));
  vertical->set_value(vertical->get_upper() - vertical->get_page_size());
  showAlertWindow(controller, {"Storm", "", std::nullopt, std::nullopt, {manyLines("Gusts")}},
                  times);
  spin(std::chrono::milliseconds(300));  // the new text is laid out
  EXPECT_EQ(vertical->get_value(), 0);
  first<Gtk::Button>(controller.window())->clicked();
  EXPECT_FALSE(controller.window()->isVisible());
}

TEST_F(GtkInterfaceLoaderTest,
       TheOfferShowsTheHistoryOnceBoldFromTheTopTheOtherUpdateWindowsTheirMessage) {
  testing::FakeWorkspace workspace;
  windowUpdate updateWnd(loader, workspace, kArchive);
  showUpdateWindow(updateWnd, "first", revisionHistory("1.0.0"));
  ASSERT_NE(updateWnd.window(), nullptr);

  const AttributedString history = revisionHistory("2.1.0");
  showUpdateWindow(updateWnd, "Stratovane 2.1.0 is now available", history);
  EXPECT_EQ(updateWnd.revisionMsg->string(), history.string);
  EXPECT_EQ(updateWnd.verString->title(), "Stratovane 2.1.0 is now available");
  auto* view = first<Gtk::TextView>(updateWnd.window());
  EXPECT_FALSE(view->get_editable());
  const Glib::RefPtr<Gtk::TextBuffer> buffer = view->get_buffer();
  const auto weightAt = [&](int offset) {
    for (const Glib::RefPtr<Gtk::TextTag>& tag : buffer->get_iter_at_offset(offset).get_tags()) {
      if (tag->property_weight_set()) return tag->property_weight().get_value();
    }
    return 400;
  };
  EXPECT_EQ(weightAt(0), 700);
  EXPECT_EQ(weightAt(4), 700);
  EXPECT_EQ(weightAt(5), 400);
  EXPECT_EQ(buffer->get_tag_table()->get_size(), 1) << "a tag per showing would pile up";
  // The version line is drawn centred, the lines below it at the left margin.
  const auto left = [&](int line) {
    Gdk::Rectangle place;
    view->get_iter_location(buffer->get_iter_at_line(line), place);
    return place.get_x();
  };
  ASSERT_TRUE(waitUntil([&] { return left(0) > left(1) + 100; }))
      << left(0) << " is not centred against " << left(1);
  EXPECT_EQ(updateWnd.revisionMsg->insertionPoint(), 0u);

  // The last button of the row is the download button.
  Gtk::Button* download = widgetsOf<Gtk::Button>(widgetOf(updateWnd.window())).back();
  ASSERT_EQ(download->get_label(), "Download");
  download->clicked();
  EXPECT_EQ(workspace.urls, std::vector<std::string>{kArchive});
  EXPECT_FALSE(updateWnd.window()->isVisible());

  // The error and no-update windows say their message until their button.
  ErrorWindow errorWnd(loader);
  showErrorWindow(errorWnd, "Could not check online version");
  showErrorWindow(errorWnd, "Could not load the revision history");
  ASSERT_NE(errorWnd.window(), nullptr);
  EXPECT_EQ(errorWnd.errorTV->string(), "Could not load the revision history");
  EXPECT_FALSE(errorWnd.errorTV->isEditable());
  EXPECT_TRUE(errorWnd.window()->isVisible());
  first<Gtk::Button>(errorWnd.window())->clicked();
  EXPECT_FALSE(errorWnd.window()->isVisible());

  NoUpdateWindow alreadyUpdate(loader);
  showNoUpdateWindow(alreadyUpdate);
  ASSERT_NE(alreadyUpdate.window(), nullptr);
  EXPECT_EQ(first<Gtk::Label>(alreadyUpdate.window())->get_text(), NoUpdateWindow::kMessage);
  first<Gtk::Button>(alreadyUpdate.window())->clicked();
  EXPECT_FALSE(alreadyUpdate.window()->isVisible());
}

}  // namespace
}  // namespace stratovane
