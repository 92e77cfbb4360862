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

void WindowController::orderFrontCentred() {
  if (!window_) return;
  window_->center();
  window_->orderFrontRegardless();
}

void replaceReadOnlyText(const std::shared_ptr<ScrollView>& scrollView,
                         const std::shared_ptr<TextView>& textView, const std::string& text) {
  if (textView) textView->setEditable(true);
  if (scrollView) {
    if (const std::shared_ptr<TextView> document = scrollView->documentView()) {
      document->selectAll();
      document->insertText(text);
    }
  }
  if (textView) {
    textView->moveToBeginningOfDocument();
    textView->setEditable(false);
  }
}

void replaceReadOnlyText(const std::shared_ptr<ScrollView>& scrollView,
                         const std::shared_ptr<TextView>& textView, const AttributedString& text) {
  if (textView) textView->setEditable(true);
  if (scrollView) {
    if (const std::shared_ptr<TextView> document = scrollView->documentView()) {
      document->selectAll();
      document->insertText("");
    }
  }
  if (textView) {
    textView->appendAttributedString(text);
    textView->moveToBeginningOfDocument();
    textView->setEditable(false);
  }
}

}  // namespace stratovane
