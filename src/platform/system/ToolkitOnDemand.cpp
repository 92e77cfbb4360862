// Windows through the toolkit's module, loaded when the first one is asked for.
#include "platform/system/ToolkitOnDemand.h"

#include <utility>

namespace stratovane {

DesktopFrontEnd* ToolkitOnDemand::desktop() {
  if (!loaded_ && load_) loaded_ = load_();
  return loaded_.get();
}

std::shared_ptr<Window> ToolkitOnDemand::loadWindow(const std::string& name,
                                                    const Connections& connections) {
  DesktopFrontEnd* module = desktop();
  return module != nullptr ? module->interfaceLoader().loadWindow(name, connections) : nullptr;
}

std::shared_ptr<View> ToolkitOnDemand::loadView(const std::string& name,
                                                const std::string& identifier,
                                                const Connections& connections) {
  DesktopFrontEnd* module = desktop();
  return module != nullptr ? module->interfaceLoader().loadView(name, identifier, connections)
                           : nullptr;
}

void ToolkitOnDemand::present(std::shared_ptr<View> view, PresentationStyle style,
                              ViewLifeCycle lifeCycle) {
  if (DesktopFrontEnd* module = desktop())
    module->viewPresenter().present(std::move(view), style, std::move(lifeCycle));
}

void ToolkitOnDemand::bringToFront(View& view) {
  if (DesktopFrontEnd* module = desktop()) module->viewPresenter().bringToFront(view);
}

}  // namespace stratovane
