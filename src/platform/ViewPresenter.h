// Shows loaded views on screen and tells their controllers when they appear and disappear.
#pragma once

#include <functional>
#include <memory>

#include "platform/Widgets.h"

namespace stratovane {

enum class PresentationStyle {
  transient,  // at the pointer; closes on Escape or when another application gets the focus
  window,     // an ordinary window; closes on Escape or its close button
};

struct ViewLifeCycle {
  std::function<void()> viewWillAppear;    // before the view is first drawn
  std::function<void()> viewDidDisappear;  // once, after it closed by whatever means
};

class ViewPresenter {
 public:
  virtual ~ViewPresenter() = default;
  // Shows the view; the presenter keeps `lifeCycle` (and what it holds) until the view closed.
  virtual void present(std::shared_ptr<View> view, PresentationStyle style,
                       ViewLifeCycle lifeCycle) = 0;
  // Brings a view shown by `present` to the front and gives it the focus.
  virtual void bringToFront(View& view) = 0;
};

}  // namespace stratovane
