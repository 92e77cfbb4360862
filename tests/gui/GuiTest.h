// Base of the GUI tests: GTK on the test's display, GLib warnings as failures, waits on the loop;
// and another X client that takes the focus, finds windows by title and types into them.
#pragma once

#include <gtest/gtest.h>
#include <gtkmm/container.h>
#include <gtkmm/window.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace stratovane {
class Window;
}

namespace stratovane::testing {

class GuiTest : public ::testing::Test {
 protected:
  // Skips the test without a display; run the tests under xvfb-run.
  void SetUp() override;
  // Fails the test for every warning or critical message GLib logged while it ran.
  void TearDown() override;

  // Runs the default main context until `done` holds or the time is up; returns `done()`.
  static bool waitUntil(const std::function<bool()>& done,
                        std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // Runs the default main context for a while, whatever happens.
  static void spin(std::chrono::milliseconds duration);
  // Runs everything that is ready on the default main context, idle callbacks included.
  static void drain();

  // The GTK window behind a window the interface loader built.
  static Gtk::Window& widgetOf(const std::shared_ptr<Window>& window);
  // The widgets of type T inside `root`, itself included, depth first.
  template <class T>
  static std::vector<T*> widgetsOf(Gtk::Widget& root) {
    std::vector<T*> found;
    if (auto* match = dynamic_cast<T*>(&root)) found.push_back(match);
    if (auto* container = dynamic_cast<Gtk::Container*>(&root))
      for (Gtk::Widget* child : container->get_children())
        for (T* below : widgetsOf<T>(*child)) found.push_back(below);
    return found;
  }
};

// Another X client's window, to take the focus from the test's windows.
class ForeignWindow {
 public:
  // Maps a small window on its own connection to the display and gives it the focus; throws when
  // no display can be opened.
  ForeignWindow();
  ~ForeignWindow();
  ForeignWindow(const ForeignWindow&) = delete;
  ForeignWindow& operator=(const ForeignWindow&) = delete;

 private:
  void* display_ = nullptr;  // Display*: Xlib's macros stay out of the tests
  unsigned long window_ = 0;
};

// An XEmbed system tray: owns the tray selection of the default screen and docks nothing.
class FakeXEmbedTray {
 public:
  FakeXEmbedTray();  // throws when no display can be opened
  ~FakeXEmbedTray();
  FakeXEmbedTray(const FakeXEmbedTray&) = delete;
  FakeXEmbedTray& operator=(const FakeXEmbedTray&) = delete;

 private:
  void* display_ = nullptr;  // Display*
  unsigned long window_ = 0;
};

// Gives the first window titled `title` the keyboard focus and types the key named `keysym`
// ("Escape"), with Control held when written "ctrl+f"; false when no such window is mapped.
bool typeKeyInto(const std::string& title, const std::string& keysym);

// How many windows titled `title` are on screen.
int mappedWindowsTitled(const std::string& title);

// Whether the first window titled `title` on screen gives the window manager an icon.
bool showsAnIcon(const std::string& title);

// Moves the pointer to (x, y) on the screen, then presses (1), releases (0) or leaves (-1) the
// first button; the server has handled it on return.
void fakePointer(int x, int y, int press = -1);

}  // namespace stratovane::testing
