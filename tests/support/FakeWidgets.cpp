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

template <class Map>
auto lookup(const Map& map, const std::string& key) -> typename Map::mapped_type {
  const auto found = map.find(key);
  return found == map.end() ? nullptr : found->second;
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
  const auto missing = [this](const std::string& id) { return missingIds_.count(id) != 0; };
  for (const auto& outlet : connections.textViews) {
    if (missing(outlet.first)) return true;
  }
  for (const auto& outlet : connections.textFieldCells) {
    if (missing(outlet.first)) return true;
  }
  for (const auto& outlet : connections.scrollViews) {
    if (missing(outlet.first)) return true;
  }
  for (const auto& action : connections.actions) {
    if (missing(action.first)) return true;
  }
  return false;
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

int FakeInterfaceLoader::loadCount(const std::string& name) const {
  const auto found = loadCounts_.find(name);
  return found == loadCounts_.end() ? 0 : found->second;
}

std::shared_ptr<FakeWindow> FakeInterfaceLoader::window(const std::string& name) const {
  return lookup(windows_, name);
}

std::shared_ptr<FakeTextView> FakeInterfaceLoader::textView(const std::string& id) const {
  return lookup(textViews_, id);
}

std::shared_ptr<FakeTextFieldCell> FakeInterfaceLoader::textFieldCell(const std::string& id) const {
  return lookup(textFieldCells_, id);
}

std::shared_ptr<FakeScrollView> FakeInterfaceLoader::scrollView(const std::string& id) const {
  return lookup(scrollViews_, id);
}

}  // namespace stratovane::testing
