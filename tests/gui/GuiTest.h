// Base of the GUI tests: GTK on the test's display, GLib warnings as failures, waits on the loop.
#pragma once

#include <gtest/gtest.h>
#include <gtkmm/container.h>
#include <gtkmm/window.h>

#include <chrono>
#include <functional>
#include <memory>
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

}  // namespace stratovane::testing
