// Base of the GUI tests: GTK on the test's display, GLib warnings as failures, waits on the loop.
#include "GuiTest.h"

#include <glib.h>
#include <gtkmm/main.h>

#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/gtk/GtkWindowAdapter.h"
#include "platform/gtk/TrayFrontEnd.h"

namespace stratovane::testing {

namespace {

std::mutex warningsMutex;
std::vector<std::string> warnings;  // GLib logs from its worker threads too

GLogWriterOutput recordWarnings(GLogLevelFlags level, const GLogField* fields, gsize count,
                                gpointer data) {
  if ((level & (G_LOG_LEVEL_ERROR | G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING)) != 0) {
    std::string message;
    for (gsize i = 0; i < count; ++i) {
      if (std::string_view(fields[i].key) == "MESSAGE" && fields[i].length < 0) {
        message = static_cast<const char*>(fields[i].value);
      }
    }
    const std::lock_guard lock(warningsMutex);
    warnings.push_back(message);
  }
  return g_log_writer_default(level, fields, count, data);
}

bool gtkReady() {
  static const bool ready = [] {
    if (!gtk::TrayFrontEnd::displayAvailable()) return false;
    Gtk::Main::init_gtkmm_internals();
    g_log_set_writer_func(recordWarnings, nullptr, nullptr);
    return true;
  }();
  return ready;
}

}  // namespace

void GuiTest::SetUp() {
  if (!gtkReady()) GTEST_SKIP() << "needs a display: run the GUI tests under xvfb-run";
  const std::lock_guard lock(warningsMutex);
  warnings.clear();
}

void GuiTest::TearDown() {
  drain();
  const std::lock_guard lock(warningsMutex);
  for (const std::string& warning : warnings) ADD_FAILURE() << "GLib warned: " << warning;
  warnings.clear();
}

bool GuiTest::waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    if (!g_main_context_iteration(nullptr, FALSE)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  return true;
}

void GuiTest::spin(std::chrono::milliseconds duration) {
  waitUntil([] { return false; }, duration);
}

void GuiTest::drain() {
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
}

Gtk::Window& GuiTest::widgetOf(const std::shared_ptr<Window>& window) {
  return dynamic_cast<gtk::GtkWindowAdapter&>(*window).widget();
}

}  // namespace stratovane::testing
