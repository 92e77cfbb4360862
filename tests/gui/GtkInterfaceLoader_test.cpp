// The interface files through GtkBuilder: outlets, actions and the forecast refill on real widgets.
#include "platform/gtk/GtkInterfaceLoader.h"

#include <gdkmm/display.h>
#include <gdkmm/monitor.h>

#include <algorithm>
#include <memory>
#include <string>

#include "GuiTest.h"
#include "presentation/emojiForIcon.h"
#include "presentation/forcastWindows.h"

namespace stratovane {
namespace {

using gtk::GtkInterfaceLoader;

class GtkInterfaceLoaderTest : public testing::GuiTest {
 protected:
  GtkInterfaceLoader loader;
};

struct ForecastOutlets {
  std::shared_ptr<TextFieldCell> icon;
  std::shared_ptr<ScrollView> scroll;
  std::shared_ptr<TextView> text;
  int okClicks = 0;

  Connections connections() {
    Connections result;
    result.textFieldCells.emplace_back("weatherIconTxt", &icon);
    result.scrollViews.emplace_back("weatherTxt", &scroll);
    result.textViews.emplace_back("weatherTxtView", &text);
    result.actions.emplace_back("okButton", [this] { ++okClicks; });
    return result;
  }
};

TEST_F(GtkInterfaceLoaderTest, TheForecastWindowHasEveryOutlet) {
  ForecastOutlets outlets;
  const std::shared_ptr<Window> window = loader.loadWindow("forcastWindows", outlets.connections());
  ASSERT_NE(window, nullptr);
  ASSERT_NE(outlets.icon, nullptr);
  ASSERT_NE(outlets.scroll, nullptr);
  ASSERT_NE(outlets.text, nullptr);
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(outlets.text->isEditable());

  // The scroll view's document is the text view outlet itself.
  const std::shared_ptr<TextView> document = outlets.scroll->documentView();
  ASSERT_NE(document, nullptr);
  document->setEditable(true);
  document->insertText("shared");
  EXPECT_EQ(outlets.text->string(), "shared");

  // The window's default button, which Enter also presses, is the action's button.
  Gtk::Widget* ok = widgetOf(window).get_default_widget();
  ASSERT_NE(ok, nullptr);
  gtk_button_clicked(GTK_BUTTON(ok->gobj()));
  EXPECT_EQ(outlets.okClicks, 1);
  window->close();
}

TEST_F(GtkInterfaceLoaderTest, TheTextViewEditsLikeTyping) {
  ForecastOutlets outlets;
  const std::shared_ptr<Window> window = loader.loadWindow("forcastWindows", outlets.connections());
  ASSERT_NE(outlets.text, nullptr);
  TextView& text = *outlets.text;

  text.insertText("refused");
  EXPECT_EQ(text.string(), "");

  text.setEditable(true);
  text.insertText("\u2600\uFE0F 06:12\U0001F31B 21:40");
  EXPECT_EQ(text.insertionPoint(), 15u);  // characters, not bytes
  text.moveToBeginningOfDocument();
  EXPECT_EQ(text.insertionPoint(), 0u);
  text.insertText(">");
  EXPECT_EQ(text.string(), ">\u2600\uFE0F 06:12\U0001F31B 21:40");

  text.selectAll();
  text.insertText("new");
  EXPECT_EQ(text.string(), "new");
  EXPECT_EQ(text.insertionPoint(), 3u);

  text.setEditable(false);
  text.selectAll();
  text.insertText("refused");
  EXPECT_EQ(text.string(), "new");
}

TEST_F(GtkInterfaceLoaderTest, TheForecastRefillOnRealWidgets) {
  forcastWindows controller(loader);
  const std::string forecast =
      "\u2600\uFE0F 06:12\U0001F31B 21:40\n\nMin 3\u00B0 Max 12\u00B0\n\nlight rain";
  showForecastWindow(controller, forecast, "10d");
  ASSERT_NE(controller.window(), nullptr);
  showForecastWindow(controller, forecast, "10d");
  EXPECT_EQ(controller.weatherTxtView->string(), forecast);
  EXPECT_EQ(controller.weatherTxtView->insertionPoint(), 0u);
  EXPECT_FALSE(controller.weatherTxtView->isEditable());
  EXPECT_EQ(controller.weatherIconTxt->title(), emojiForIcon("10d"));

  // Closed by the window manager's button: hidden, kept, and shown again with the new text.
  Gtk::Window& window = widgetOf(controller.window());
  GdkEvent* event = gdk_event_new(GDK_DELETE);
  event->any.window = GDK_WINDOW(g_object_ref(window.get_window()->gobj()));
  gtk_main_do_event(event);
  gdk_event_free(event);
  EXPECT_FALSE(controller.window()->isVisible());
  showForecastWindow(controller, "later", "");
  EXPECT_TRUE(controller.window()->isVisible());
  EXPECT_EQ(controller.weatherTxtView->string(), "later");
  EXPECT_EQ(controller.weatherIconTxt->title(), emojiForIcon(""));

  controller.okButton();
  EXPECT_FALSE(controller.window()->isVisible());
}

TEST_F(GtkInterfaceLoaderTest, CenterMovesAShownWindowToTheMiddleOfItsMonitor) {
  ForecastOutlets outlets;
  const std::shared_ptr<Window> window = loader.loadWindow("forcastWindows", outlets.connections());
  Gtk::Window& widget = widgetOf(window);
  window->show();
  widget.move(0, 0);
  ASSERT_TRUE(waitUntil([&] {
    int x = -1, y = -1;
    widget.get_window()->get_root_origin(x, y);
    return x == 0 && y == 0;
  }));

  window->center();
  window->orderFrontRegardless();
  Gdk::Rectangle area;
  widget.get_display()->get_monitor_at_window(widget.get_window())->get_workarea(area);
  int width = 0, height = 0;
  widget.get_size(width, height);
  const int expectedX = area.get_x() + (area.get_width() - width) / 2;
  const int expectedY = area.get_y() + (area.get_height() - height) / 2;
  int x = -1, y = -1;
  EXPECT_TRUE(waitUntil([&] {
    widget.get_window()->get_root_origin(x, y);
    return x == expectedX && y == expectedY;
  })) << "at "
      << x << "," << y << ", expected " << expectedX << "," << expectedY;
  EXPECT_TRUE(window->isVisible());
  window->close();
}

TEST_F(GtkInterfaceLoaderTest, AMissingIdOrFileFailsCalmly) {
  struct Case {
    std::string file;
    std::string id;
    bool asTextView;  // asks for the id as a text view instead of a label
  };
  for (const Case& test :
       {Case{"forcastWindows", "noSuchId", false}, Case{"forcastWindows", "okButton", true},
        Case{"noSuchFile", "weatherIconTxt", false}}) {
    SCOPED_TRACE(test.file + " " + test.id);
    std::shared_ptr<TextFieldCell> icon;
    std::shared_ptr<TextView> text;
    Connections connections;
    connections.textViews.emplace_back("weatherTxtView", &text);
    if (test.asTextView) {
      connections.textViews.emplace_back(test.id, &text);
    } else {
      connections.textFieldCells.emplace_back(test.id, &icon);
    }
    ::testing::internal::CaptureStderr();
    const std::shared_ptr<Window> window = loader.loadWindow(test.file, connections);
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(icon, nullptr);
    EXPECT_EQ(text, nullptr) << "an outlet was filled although the load failed";
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    EXPECT_NE(errors.find(test.file), std::string::npos) << errors;
  }
  // Nothing of the failed loads is left on screen or in memory as a toplevel.
  drain();
  GList* toplevels = gtk_window_list_toplevels();
  int windows = 0;
  for (GList* entry = toplevels; entry != nullptr; entry = entry->next) {
    if (g_strcmp0(gtk_window_get_title(GTK_WINDOW(entry->data)), "Forecast") == 0) ++windows;
  }
  g_list_free(toplevels);
  EXPECT_EQ(windows, 0);
}

}  // namespace
}  // namespace stratovane
