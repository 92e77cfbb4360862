// Another X client: its own window to take the focus, keys typed into windows found by title.
#pragma once

#include <string>

namespace stratovane::testing {

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

// Gives the first window titled `title` the keyboard focus and types the key named `keysym`
// ("Escape"); false when no such window is mapped.
bool typeKeyInto(const std::string& title, const std::string& keysym);

// How many windows titled `title` are on screen.
int mappedWindowsTitled(const std::string& title);

}  // namespace stratovane::testing
