// Another X client: its own window to take the focus, keys typed into windows found by title.
#include "XClient.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <memory>
#include <stdexcept>
#include <vector>

namespace stratovane::testing {

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
  const KeyCode key = XKeysymToKeycode(display.get(), XStringToKeysym(keysym.c_str()));
  XTestFakeKeyEvent(display.get(), key, True, 0);
  XTestFakeKeyEvent(display.get(), key, False, 0);
  XSync(display.get(), False);
  return true;
}

int mappedWindowsTitled(const std::string& title) {
  return static_cast<int>(
      mappedTitled(DisplayPtr(XOpenDisplay(nullptr), XCloseDisplay), title).size());
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

}  // namespace stratovane::testing
