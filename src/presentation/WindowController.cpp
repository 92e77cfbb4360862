// Base of the window controllers: a window loaded from its interface file on first show.
#include "presentation/WindowController.h"

#include <utility>

namespace stratovane {

namespace {

template <class T>
void reset(const std::vector<Connections::Outlet<T>>& outlets) {
  for (const auto& outlet : outlets) outlet.second->reset();
}

}  // namespace

WindowController::WindowController(InterfaceLoader& loader, std::string windowNibName)
    : loader_(loader), windowNibName_(std::move(windowNibName)) {}

void WindowController::showWindow() {
  if (!window_) {
    const Connections wanted = connections();
    window_ = loader_.loadWindow(windowNibName_, wanted);
    if (!window_) {
      // A failed load must not leave half-connected outlets behind.
      reset(wanted.textFieldCells);
      reset(wanted.textViews);
      reset(wanted.scrollViews);
    }
  }
  if (window_) window_->show();
}

void WindowController::close() {
  if (window_) window_->close();
}

}  // namespace stratovane
