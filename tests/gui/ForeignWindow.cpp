// A window of another X client, to take the keyboard focus away from the test's windows.
#include "ForeignWindow.h"

#include <X11/Xlib.h>

#include <stdexcept>

namespace stratovane::testing {

ForeignWindow::ForeignWindow() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) throw std::runtime_error("cannot open the display");
  display_ = display;
  window_ = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 50, 50, 0, 0, 0);
  XMapRaised(display, window_);
  XSync(display, False);
}

ForeignWindow::~ForeignWindow() {
  auto* display = static_cast<Display*>(display_);
  XDestroyWindow(display, window_);
  XCloseDisplay(display);
}

void ForeignWindow::takeFocus() {
  auto* display = static_cast<Display*>(display_);
  XSetInputFocus(display, window_, RevertToParent, CurrentTime);
  XSync(display, False);
}

}  // namespace stratovane::testing
