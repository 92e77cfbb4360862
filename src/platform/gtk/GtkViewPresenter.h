// Shows views of interface files in their windows: transient at the pointer, or ordinary.
#pragma once

#include <memory>
#include <vector>

#include "platform/ViewPresenter.h"

namespace stratovane::gtk {

// Views must come from GtkInterfaceLoader::loadView.
class GtkViewPresenter : public ViewPresenter {
 public:
  GtkViewPresenter();
  ~GtkViewPresenter() override;
  GtkViewPresenter(const GtkViewPresenter&) = delete;
  GtkViewPresenter& operator=(const GtkViewPresenter&) = delete;

  void present(std::shared_ptr<View> view, PresentationStyle style,
               ViewLifeCycle lifeCycle) override;
  void bringToFront(View& view) override;

  // How long the focus may be away from every window of this process before a transient view
  // closes; keeps the view open while the focus moves between its own windows and menus.
  static constexpr unsigned kFocusGraceMilliseconds = 150;

 private:
  struct Showing;
  void installStyle();

  std::vector<std::unique_ptr<Showing>> showings_;
  bool styleInstalled_ = false;
};

}  // namespace stratovane::gtk
