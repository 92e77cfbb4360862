// The update windows from their interface files: refills, formatting, scrolling and buttons.
#include <gtkmm/adjustment.h>
#include <gtkmm/button.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/textview.h>

#include <memory>
#include <string>
#include <vector>

#include "GuiTest.h"
#include "platform/gtk/GtkInterfaceLoader.h"
#include "support/FakePlatform.h"
#include "update/ErrorWindow.h"
#include "update/NoUpdateWindow.h"
#include "update/windowUpdate.h"

namespace stratovane {
namespace {

const std::string kArchive = "https://updates.test/resources/Stratovane.zip";

// A bold version line, then enough lines to scroll.
AttributedString revisionHistory(const std::string& version) {
  TextAttributes bold;
  bold.bold = true;
  AttributedString history{version + "\n", {{0, version.size(), bold}}};
  for (int line = 0; line < 80; ++line)
    history.string += "Fixed thing " + std::to_string(line) + "\n";
  return history;
}

class UpdateWindowsGuiTest : public testing::GuiTest {
 protected:
  template <class T>
  static T* first(const std::shared_ptr<Window>& window) {
    return widgetsOf<T>(widgetOf(window)).at(0);
  }

  gtk::GtkInterfaceLoader loader;
  testing::FakeWorkspace workspace;
};

TEST_F(UpdateWindowsGuiTest, TwoErrorsInARowShowOnlyTheSecond) {
  ErrorWindow errorWnd(loader);
  showErrorWindow(errorWnd, "Could not check online version");
  showErrorWindow(errorWnd, "Could not load the revision history");
  ASSERT_NE(errorWnd.errorTV, nullptr);
  EXPECT_EQ(errorWnd.errorTV->string(), "Could not load the revision history");
  EXPECT_FALSE(errorWnd.errorTV->isEditable());
  EXPECT_TRUE(errorWnd.window()->isVisible());
  first<Gtk::Button>(errorWnd.window())->clicked();
  EXPECT_FALSE(errorWnd.window()->isVisible());
}

TEST_F(UpdateWindowsGuiTest, TwoOffersShowTheHistoryOnceBoldAndFromTheTop) {
  windowUpdate updateWnd(loader, workspace, kArchive);
  showUpdateWindow(updateWnd, "first", revisionHistory("1.0.0"));
  auto* view = first<Gtk::TextView>(updateWnd.window());
  auto* scrolled = first<Gtk::ScrolledWindow>(updateWnd.window());
  ASSERT_NE(view, nullptr);
  const Glib::RefPtr<Gtk::Adjustment> vertical = scrolled->get_vadjustment();
  ASSERT_TRUE(waitUntil([&] { return vertical->get_upper() > vertical->get_page_size(); }));
  vertical->set_value(vertical->get_upper());  // the user scrolled down
  ASSERT_GT(vertical->get_value(), 0);

  const AttributedString history = revisionHistory("2.1.0");
  showUpdateWindow(updateWnd, "Stratovane 2.1.0 is now available", history);
  EXPECT_EQ(updateWnd.revisionMsg->string(), history.string);
  EXPECT_EQ(updateWnd.verString->title(), "Stratovane 2.1.0 is now available");
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

  EXPECT_EQ(updateWnd.revisionMsg->insertionPoint(), 0u);
  EXPECT_TRUE(waitUntil([&] { return vertical->get_value() == 0; })) << vertical->get_value();
  updateWnd.close();
}

TEST_F(UpdateWindowsGuiTest, DownloadOpensTheArchiveAndCloses) {
  windowUpdate updateWnd(loader, workspace, kArchive);
  showUpdateWindow(updateWnd, "offer", revisionHistory("2.1.0"));
  // The last button of the row is the download button.
  Gtk::Button* download = widgetsOf<Gtk::Button>(widgetOf(updateWnd.window())).back();
  ASSERT_EQ(download->get_label(), "Download");
  download->clicked();
  EXPECT_EQ(workspace.urls, std::vector<std::string>{kArchive});
  EXPECT_FALSE(updateWnd.window()->isVisible());
}

TEST_F(UpdateWindowsGuiTest, TheNoUpdateWindowSaysWhatTheCommandLinePrints) {
  NoUpdateWindow alreadyUpdate(loader);
  showNoUpdateWindow(alreadyUpdate);
  ASSERT_NE(alreadyUpdate.window(), nullptr);
  EXPECT_EQ(first<Gtk::Label>(alreadyUpdate.window())->get_text(), NoUpdateWindow::kMessage);
  alreadyUpdate.close();
}

}  // namespace
}  // namespace stratovane
