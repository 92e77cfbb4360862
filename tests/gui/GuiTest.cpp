// Base of the GUI tests: GTK on the test's display, GLib warnings as failures, waits on the loop;
// and another X client that takes the focus, finds windows by title and types into them.
#include "GuiTest.h"

#include <glib.h>
#include <gtkmm/main.h>

#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/gtk/GtkWindowAdapter.h"
#include "platform/gtk/TrayFrontEnd.h"

// Last: Xlib's macros would clash with the toolkit's headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

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

namespace {

// Every mapped window titled `title` under `window`, depth first.
void collectMapped(Display* display, ::Window window, const std::string& title,
                   std::vector<::Window>& found) {
  char* name = nullptr;
  if (XFetchName(display, window, &name) != 0 && name != nullptr) {
    const bool match = title == name;
    XFree(name);
    XWindowAttributes attributes;
    if (match && XGetWindowAttributes(display, window, &attributes) != 0 &&
        attributes.map_state == IsViewable)
      found.push_back(window);
  }
  ::Window root = 0;
  ::Window parent = 0;
  ::Window* children = nullptr;
  unsigned int count = 0;
  if (XQueryTree(display, window, &root, &parent, &children, &count) == 0) return;
  for (unsigned int i = 0; i < count; ++i) collectMapped(display, children[i], title, found);
  if (children != nullptr) XFree(children);
}

using DisplayPtr = std::unique_ptr<Display, int (*)(Display*)>;

std::vector<::Window> mappedTitled(const DisplayPtr& display, const std::string& title) {
  std::vector<::Window> found;
  if (display) collectMapped(display.get(), DefaultRootWindow(display.get()), title, found);
  return found;
}

}  // namespace

bool typeKeyInto(const std::string& title, const std::string& keysym) {
  const DisplayPtr display(XOpenDisplay(nullptr), XCloseDisplay);
  const std::vector<::Window> found = mappedTitled(display, title);
  if (found.empty()) return false;
  const ::Window window = found.front();
  XSetInputFocus(display.get(), window, RevertToParent, CurrentTime);
  const bool control = keysym.starts_with("ctrl+");
  const KeyCode controlKey = XKeysymToKeycode(display.get(), XK_Control_L);
  const KeyCode key =
      XKeysymToKeycode(display.get(), XStringToKeysym(keysym.substr(control ? 5 : 0).c_str()));
  if (control) XTestFakeKeyEvent(display.get(), controlKey, True, 0);
  XTestFakeKeyEvent(display.get(), key, True, 0);
  XTestFakeKeyEvent(display.get(), key, False, 0);
  if (control) XTestFakeKeyEvent(display.get(), controlKey, False, 0);
  XSync(display.get(), False);
  return true;
}

int mappedWindowsTitled(const std::string& title) {
  return static_cast<int>(
      mappedTitled(DisplayPtr(XOpenDisplay(nullptr), XCloseDisplay), title).size());
}

bool showsAnIcon(const std::string& title) {
  const DisplayPtr display(XOpenDisplay(nullptr), XCloseDisplay);
  const std::vector<::Window> found = mappedTitled(display, title);
  if (found.empty()) return false;
  Atom type = 0;
  int format = 0;
  unsigned long items = 0;
  unsigned long left = 0;
  unsigned char* data = nullptr;
  const Atom icon = XInternAtom(display.get(), "_NET_WM_ICON", False);
  const bool read = XGetWindowProperty(display.get(), found.front(), icon, 0, 2, False, XA_CARDINAL,
                                       &type, &format, &items, &left, &data) == Success;
  if (data != nullptr) XFree(data);
  return read && type == XA_CARDINAL && items == 2;  // at least a width and a height
}

void fakePointer(int x, int y, int press) {
  const DisplayPtr display(XOpenDisplay(nullptr), XCloseDisplay);
  XTestFakeMotionEvent(display.get(), -1, x, y, CurrentTime);
  if (press >= 0) XTestFakeButtonEvent(display.get(), 1, press, CurrentTime);
  XSync(display.get(), False);
}

ForeignWindow::ForeignWindow() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) throw std::runtime_error("cannot open the display");
  display_ = display;
  window_ = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 50, 50, 0, 0, 0);
  XMapRaised(display, window_);
  XSync(display, False);
  XSetInputFocus(display, window_, RevertToParent, CurrentTime);
  XSync(display, False);
}

ForeignWindow::~ForeignWindow() {
  auto* display = static_cast<Display*>(display_);
  XDestroyWindow(display, window_);
  XCloseDisplay(display);
}

FakeXEmbedTray::FakeXEmbedTray() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) throw std::runtime_error("cannot open the display");
  display_ = display;
  window_ = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
  const std::string selection = "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(display));
  XSetSelectionOwner(display, XInternAtom(display, selection.c_str(), False), window_, CurrentTime);
  XSync(display, False);
}

FakeXEmbedTray::~FakeXEmbedTray() {
  auto* display = static_cast<Display*>(display_);
  XDestroyWindow(display, window_);  // gives up the selection
  XCloseDisplay(display);
}

}  // namespace stratovane::testing
