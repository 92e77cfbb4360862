// A window of another X client, to take the keyboard focus away from the test's windows.
#pragma once

namespace stratovane::testing {

class ForeignWindow {
 public:
  // Maps a small window on its own connection to the display; throws when none can be opened.
  ForeignWindow();
  ~ForeignWindow();
  ForeignWindow(const ForeignWindow&) = delete;
  ForeignWindow& operator=(const ForeignWindow&) = delete;

  void takeFocus();

 private:
  void* display_ = nullptr;  // Display*: Xlib's macros stay out of the tests
  unsigned long window_ = 0;
};

}  // namespace stratovane::testing
