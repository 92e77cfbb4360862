// Windows through the toolkit's module, loaded when the first one is asked for.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/DesktopFrontEnd.h"
#include "platform/ViewPresenter.h"
#include "platform/Widgets.h"

namespace stratovane {

// Stands in for the module's interface loader and view presenter. The module stays loaded for the
// rest of the run once it is: the toolkit cannot be unloaded.
class ToolkitOnDemand final : public InterfaceLoader, public ViewPresenter {
 public:
  // Returns the module's front-end, or null after one line on standard error.
  using Load = std::function<std::unique_ptr<DesktopFrontEnd>()>;

  explicit ToolkitOnDemand(Load load) : load_(std::move(load)) {}

  // The module's front-end, loaded now when it is not yet; null when it cannot be. Every call
  // after a failure tries again: a display may have come back.
  DesktopFrontEnd* desktop();
  bool loaded() const { return loaded_ != nullptr; }

  // None, after the load's one line, when the module cannot be loaded.
  std::shared_ptr<Window> loadWindow(const std::string& name,
                                     const Connections& connections) override;
  std::shared_ptr<View> loadView(const std::string& name, const std::string& identifier,
                                 const Connections& connections) override;
  // Views come from loadView, so the module is there already.
  void present(std::shared_ptr<View> view, PresentationStyle style,
               ViewLifeCycle lifeCycle) override;
  void bringToFront(View& view) override;

 private:
  Load load_;
  std::unique_ptr<DesktopFrontEnd> loaded_;
};

}  // namespace stratovane
