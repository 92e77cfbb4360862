// Keys typed into a window of another process, found by its title, as the user types them.
#include "KeyboardFocus.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <memory>
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

}  // namespace

bool typeKeyInto(const std::string& title, const std::string& keysym) {
  const std::unique_ptr<Display, int (*)(Display*)> display(XOpenDisplay(nullptr), XCloseDisplay);
  if (!display) return false;
  std::vector<::Window> found;
  collectMapped(display.get(), DefaultRootWindow(display.get()), title, found);
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
  const std::unique_ptr<Display, int (*)(Display*)> display(XOpenDisplay(nullptr), XCloseDisplay);
  if (!display) return 0;
  std::vector<::Window> found;
  collectMapped(display.get(), DefaultRootWindow(display.get()), title, found);
  return static_cast<int>(found.size());
}

}  // namespace stratovane::testing
