// Fake windows, text views and an interface loader that record what controllers do to them.
#include "support/FakeWidgets.h"

#include <algorithm>
#include <tuple>
#include <utility>

namespace stratovane::testing {

std::vector<PopUpItem> FakePopUpButton::items() const {
  std::vector<PopUpItem> result = items_;
  for (std::size_t i = 0; i < result.size(); ++i) result[i].on = static_cast<long>(i) == selected_;
  return result;
}

void FakePopUpButton::selectItem(std::size_t index) {
  record("selectItem(" + std::to_string(index) + ")");
  if (index < items_.size()) selected_ = static_cast<long>(index);
}

bool FakePopUpButton::selectItemWithTag(std::int64_t tag) {
  record("selectItemWithTag(" + std::to_string(tag) + ")");
  const auto found = std::find_if(items_.begin(), items_.end(),
                                  [tag](const PopUpItem& item) { return item.tag == tag; });
  if (found != items_.end()) selected_ = found - items_.begin();
  return found != items_.end();
}

void FakePopUpButton::choose(const std::string& title) {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].title == title) selected_ = static_cast<long>(i);
  }
  if (action_) action_();
}

void FakeViewPresenter::present(std::shared_ptr<View> presented, PresentationStyle presentedStyle,
                                ViewLifeCycle lifeCycle) {
  ++presentCount;
  view = std::move(presented);
  style = presentedStyle;
  lifeCycle_ = std::move(lifeCycle);
  open_ = true;
  if (lifeCycle_.viewWillAppear) lifeCycle_.viewWillAppear();
}

bool FakeViewPresenter::close() {
  if (!open_) return false;
  open_ = false;
  // Dropped after the call, as a real presenter lets go of the controller.
  const ViewLifeCycle closing = std::exchange(lifeCycle_, {});
  if (closing.viewDidDisappear) closing.viewDidDisappear();
  return true;
}

std::shared_ptr<Window> FakeInterfaceLoader::loadWindow(const std::string& name,
                                                        const Connections& connections) {
  ++loadCounts_[name];
  log_->push_back("load(" + name + ")");
  if (missingInterfaces_.count(name) != 0) return nullptr;

  build<FakeTextView>(connections.textViews);
  build<FakeTextFieldCell>(connections.textFieldCells);
  for (const auto& [id, outlet] : connections.scrollViews) {
    std::shared_ptr<TextView> document;
    if (const auto linked = documentViews_.find(id); linked != documentViews_.end()) {
      document = get<FakeTextView>(linked->second);
    }
    if (!document) document = std::make_shared<FakeTextView>(id + ".documentView", log_);
    *outlet = std::make_shared<FakeScrollView>(document);
  }
  for (const auto& [handler, action] : connections.actions) actions_[handler] = action;
  return keep(name, std::make_shared<FakeWindow>(name, log_));
}

std::shared_ptr<View> FakeInterfaceLoader::loadView(const std::string& name,
                                                    const std::string& identifier,
                                                    const Connections& connections) {
  if (!loadWindow(name, connections)) return nullptr;
  build<FakeTextField>(connections.textFields);
  build<FakeMapView>(connections.mapViews);
  build<FakeView>(connections.views);
  build<FakeSwitch>(connections.switches);
  build<FakeSearchField>(connections.searchFields);
  build<FakeButton>(connections.buttons);
  for (const auto& [id, outlet] : connections.popUpButtons) {
    auto popUp = std::make_shared<FakePopUpButton>(id, log_);
    if (const auto layout = popUpLayouts_.find(id); layout != popUpLayouts_.end()) {
      std::tie(popUp->items_, popUp->selected_) = layout->second;
    }
    *outlet = keep(id, popUp);
  }
  for (const auto& [id, outlet] : connections.segmentedControls) {
    const auto layout = segmentLayouts_.find(id);
    const auto [count, selected] =
        layout == segmentLayouts_.end() ? std::pair{2, 0} : layout->second;
    *outlet = keep(id, std::make_shared<FakeSegmentedControl>(id, log_, count, selected));
  }
  return keep(identifier, std::make_shared<FakeView>(identifier, log_));
}

bool FakeInterfaceLoader::click(const std::string& action) const {
  const auto found = actions_.find(action);
  if (found == actions_.end() || !found->second) return false;
  found->second();
  return true;
}

}  // namespace stratovane::testing
