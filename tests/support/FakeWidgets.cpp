// Fake windows, text views and an interface loader that record what controllers do to them.
#include "support/FakeWidgets.h"

namespace stratovane::testing {

namespace {

std::size_t characterCount(const std::string& utf8) {
  std::size_t count = 0;
  for (unsigned char byte : utf8) {
    if ((byte & 0xC0) != 0x80) ++count;
  }
  return count;
}

// Byte offset of the character at `characters`, or the end.
std::size_t byteOffset(const std::string& utf8, std::size_t characters) {
  std::size_t seen = 0;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if ((static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) continue;
    if (seen == characters) return i;
    ++seen;
  }
  return utf8.size();
}

}  // namespace

void FakeWindow::show() {
  visible_ = true;
  log_->push_back(name_ + ".show()");
}

void FakeWindow::close() {
  visible_ = false;
  log_->push_back(name_ + ".close()");
}

void FakeWindow::center() {
  ++centerCount;
  log_->push_back(name_ + ".center()");
}

void FakeWindow::orderFrontRegardless() {
  ++orderFrontCount;
  log_->push_back(name_ + ".orderFrontRegardless()");
}

void FakeTextFieldCell::setTitle(const std::string& title) {
  title_ = title;
  log_->push_back(id_ + ".setTitle(" + title + ")");
}

void FakeTextView::setEditable(bool editable) {
  editable_ = editable;
  log_->push_back(id_ + ".setEditable(" + (editable ? "true" : "false") + ")");
}

void FakeTextView::selectAll() {
  selectionStart_ = 0;
  selectionEnd_ = characterCount(text_);
  log_->push_back(id_ + ".selectAll()");
}

void FakeTextView::insertText(const std::string& text) {
  log_->push_back(id_ + ".insertText(" + text + ")");
  if (!editable_) return;
  const std::size_t from = byteOffset(text_, selectionStart_);
  const std::size_t to = byteOffset(text_, selectionEnd_);
  text_.replace(from, to - from, text);
  selectionStart_ += characterCount(text);
  selectionEnd_ = selectionStart_;
}

void FakeTextView::moveToBeginningOfDocument() {
  selectionStart_ = 0;
  selectionEnd_ = 0;
  log_->push_back(id_ + ".moveToBeginningOfDocument()");
}

void FakeTextView::appendAttributedString(const AttributedString& text) {
  log_->push_back(id_ + ".appendAttributedString(" + text.string + ")");
  text_ += text.string;
}

std::shared_ptr<Window> FakeInterfaceLoader::loadWindow(const std::string& name,
                                                        const Connections& connections) {
  ++loadCounts_[name];
  log_->push_back("load(" + name + ")");
  if (missingInterfaces_.count(name) != 0 || lacksAnyId(connections)) return nullptr;

  for (const auto& [id, outlet] : connections.textViews) {
    *outlet = textViews_[id] = std::make_shared<FakeTextView>(id, log_);
  }
  for (const auto& [id, outlet] : connections.textFieldCells) {
    *outlet = textFieldCells_[id] = std::make_shared<FakeTextFieldCell>(id, log_);
  }
  for (const auto& [id, outlet] : connections.scrollViews) {
    std::shared_ptr<TextView> document;
    if (const auto linked = documentViews_.find(id); linked != documentViews_.end()) {
      document = lookup(textViews_, linked->second);
    }
    if (!document) document = std::make_shared<FakeTextView>(id + ".documentView", log_);
    *outlet = scrollViews_[id] = std::make_shared<FakeScrollView>(document);
  }
  for (const auto& [handler, action] : connections.actions) actions_[handler] = action;

  auto window = std::make_shared<FakeWindow>(name, log_);
  windows_[name] = window;
  return window;
}

bool FakeInterfaceLoader::lacksAnyId(const Connections& connections) const {
  const auto anyMissing = [this](const auto& outlets) {
    for (const auto& outlet : outlets) {
      if (missingIds_.count(outlet.first) != 0) return true;
    }
    return false;
  };
  return anyMissing(connections.textViews) || anyMissing(connections.textFieldCells) ||
         anyMissing(connections.scrollViews) || anyMissing(connections.actions) ||
         anyMissing(connections.textFields) || anyMissing(connections.popUpButtons) ||
         anyMissing(connections.segmentedControls) || anyMissing(connections.mapViews) ||
         anyMissing(connections.views) || anyMissing(connections.switches);
}

void FakeInterfaceLoader::setDocumentView(const std::string& scrollViewId,
                                          const std::string& textViewId) {
  documentViews_[scrollViewId] = textViewId;
}

bool FakeInterfaceLoader::click(const std::string& action) const {
  const auto found = actions_.find(action);
  if (found == actions_.end() || !found->second) return false;
  found->second();
  return true;
}

void FakeTextField::setStringValue(const std::string& value) {
  value_ = value;
  log_->push_back(id_ + ".setStringValue(" + value + ")");
}

std::vector<PopUpItem> FakePopUpButton::items() const {
  std::vector<PopUpItem> result = items_;
  for (std::size_t i = 0; i < result.size(); ++i) result[i].on = static_cast<long>(i) == selected_;
  return result;
}

void FakePopUpButton::addItem(const std::string& title, std::int64_t tag) {
  items_.push_back({title, tag, false});
  log_->push_back(id_ + ".addItem(" + title + ")");
}

void FakePopUpButton::selectItem(std::size_t index) {
  log_->push_back(id_ + ".selectItem(" + std::to_string(index) + ")");
  if (index < items_.size()) selected_ = static_cast<long>(index);
}

bool FakePopUpButton::selectItemWithTag(std::int64_t tag) {
  log_->push_back(id_ + ".selectItemWithTag(" + std::to_string(tag) + ")");
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].tag == tag) {
      selected_ = static_cast<long>(i);
      return true;
    }
  }
  return false;
}

std::int64_t FakePopUpButton::selectedTag() const {
  return selected_ < 0 ? -1 : items_[static_cast<std::size_t>(selected_)].tag;
}

void FakePopUpButton::choose(const std::string& title) {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].title == title) selected_ = static_cast<long>(i);
  }
  if (action_) action_();
}

std::string FakePopUpButton::selectedTitle() const {
  return selected_ < 0 ? std::string() : items_[static_cast<std::size_t>(selected_)].title;
}

void FakeSegmentedControl::setSelectedSegment(std::int64_t segment) {
  log_->push_back(id_ + ".setSelectedSegment(" + std::to_string(segment) + ")");
  selected_ = segment >= 0 && segment < count_ ? static_cast<int>(segment) : -1;
}

void FakeSegmentedControl::choose(int segment) {
  selected_ = segment;
  if (action_) action_();
}

void FakeMapView::addAnnotation(const PointAnnotation& annotation) {
  annotations_.push_back(annotation);
  log_->push_back(id_ + ".addAnnotation(" + annotation.title + ")");
}

void FakeMapView::removeAllAnnotations() {
  annotations_.clear();
  log_->push_back(id_ + ".removeAllAnnotations()");
}

void FakeMapView::setCenterCoordinate(Coordinate coordinate) {
  center = coordinate;
  log_->push_back(id_ + ".setCenterCoordinate()");
}

void FakeMapView::setMapType(MapType type) {
  mapType = type;
  log_->push_back(id_ + ".setMapType(" + std::to_string(static_cast<int>(type)) + ")");
}

void FakeMapView::addClickRecognizer(std::function<void(ViewPoint)> action) {
  recognizers_.push_back(std::move(action));
  log_->push_back(id_ + ".addClickRecognizer()");
}

void FakeMapView::click(ViewPoint point) const {
  for (const auto& recognizer : recognizers_) recognizer(point);
}

void FakeView::dismiss() {
  ++dismissCount;
  log_->push_back(id_ + ".dismiss()");
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

void FakeViewPresenter::bringToFront(View& front) {
  broughtToFront.push_back(&front);
}

bool FakeViewPresenter::close() {
  if (!open_) return false;
  open_ = false;
  // Dropped after the call, as a real presenter lets go of the controller.
  const ViewLifeCycle closing = std::move(lifeCycle_);
  lifeCycle_ = {};
  if (closing.viewDidDisappear) closing.viewDidDisappear();
  return true;
}

std::shared_ptr<View> FakeInterfaceLoader::loadView(const std::string& name,
                                                    const std::string& identifier,
                                                    const Connections& connections) {
  if (!loadWindow(name, connections)) return nullptr;
  for (const auto& [id, outlet] : connections.textFields) {
    *outlet = textFields_[id] = std::make_shared<FakeTextField>(id, log_);
  }
  for (const auto& [id, outlet] : connections.popUpButtons) {
    auto popUp = std::make_shared<FakePopUpButton>(id, log_);
    if (const auto layout = popUpLayouts_.find(id); layout != popUpLayouts_.end()) {
      popUp->items_ = layout->second.first;
      popUp->selected_ = layout->second.second;
    }
    *outlet = popUpButtons_[id] = popUp;
  }
  for (const auto& [id, outlet] : connections.segmentedControls) {
    const auto layout = segmentLayouts_.find(id);
    const auto [count, selected] =
        layout == segmentLayouts_.end() ? std::pair{2, 0} : layout->second;
    auto control = std::make_shared<FakeSegmentedControl>(id, log_, count);
    control->selected_ = selected;
    *outlet = segmentedControls_[id] = control;
  }
  for (const auto& [id, outlet] : connections.mapViews) {
    *outlet = mapViews_[id] = std::make_shared<FakeMapView>(id, log_);
  }
  for (const auto& [id, outlet] : connections.views) {
    *outlet = views_[id] = std::make_shared<FakeView>(id, log_);
  }
  for (const auto& [id, outlet] : connections.switches) {
    *outlet = switches_[id] = std::make_shared<FakeSwitch>(id, log_);
  }
  auto view = std::make_shared<FakeView>(identifier, log_);
  views_[identifier] = view;
  return view;
}

void FakeInterfaceLoader::setPopUpItems(const std::string& id, std::vector<PopUpItem> items,
                                        long selected) {
  popUpLayouts_[id] = {std::move(items), selected};
}

void FakeInterfaceLoader::setSegments(const std::string& id, int count, int selected) {
  segmentLayouts_[id] = {count, selected};
}

void FakeSwitch::setOn(bool on) {
  on_ = on;
  log_->push_back(id_ + ".setOn(" + (on ? "true" : "false") + ")");
}

}  // namespace stratovane::testing
