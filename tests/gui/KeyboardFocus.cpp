// Keys typed into a window of another process, found by its title, as the user types them.
#include "KeyboardFocus.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <memory>

namespace stratovane::testing {

namespace {

::Window findMapped(Display* display, ::Window window, const std::string& title) {
  char* name = nullptr;
  if (XFetchName(display, window, &name) != 0 && name != nullptr) {
    const bool match = title == name;
    XFree(name);
    XWindowAttributes attributes;
    if (match && XGetWindowAttributes(display, window, &attributes) != 0 &&
        attributes.map_state == IsViewable)
      return window;
  }
  ::Window root = 0;
  ::Window parent = 0;
  ::Window* children = nullptr;
  unsigned int count = 0;
  if (XQueryTree(display, window, &root, &parent, &children, &count) == 0) return 0;
  ::Window found = 0;
  for (unsigned int i = 0; i < count && found == 0; ++i)
    found = findMapped(display, children[i], title);
  if (children != nullptr) XFree(children);
  return found;
}

}  // namespace

bool typeKeyInto(const std::string& title, const std::string& keysym) {
  const std::unique_ptr<Display, int (*)(Display*)> display(XOpenDisplay(nullptr), XCloseDisplay);
  if (!display) return false;
  const ::Window window = findMapped(display.get(), DefaultRootWindow(display.get()), title);
  if (window == 0) return false;
  XSetInputFocus(display.get(), window, RevertToParent, CurrentTime);
  const KeyCode key = XKeysymToKeycode(display.get(), XStringToKeysym(keysym.c_str()));
  XTestFakeKeyEvent(display.get(), key, True, 0);
  XTestFakeKeyEvent(display.get(), key, False, 0);
  XSync(display.get(), False);
  return true;
}

}  // namespace stratovane::testing
