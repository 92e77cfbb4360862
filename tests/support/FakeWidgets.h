// Fake windows, text views and an interface loader that record what controllers do to them.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/Widgets.h"

namespace stratovane::testing {

// One log per loader, shared by its widgets, so tests can check the order of calls across widgets.
// Entries look like "weatherTxtView.setEditable(true)" or "forcastWindows.center()".
using CallLog = std::shared_ptr<std::vector<std::string>>;

class FakeWindow : public Window {
 public:
  FakeWindow(std::string name, CallLog log) : name_(std::move(name)), log_(std::move(log)) {}

  void show() override;
  void close() override;
  bool isVisible() const override { return visible_; }
  void center() override;
  void orderFrontRegardless() override;

  int centerCount = 0;
  int orderFrontCount = 0;

 private:
  std::string name_;
  CallLog log_;
  bool visible_ = false;
};

class FakeTextFieldCell : public TextFieldCell {
 public:
  FakeTextFieldCell(std::string id, CallLog log) : id_(std::move(id)), log_(std::move(log)) {}

  void setTitle(const std::string& title) override;
  std::string title() const override { return title_; }

 private:
  std::string id_;
  CallLog log_;
  std::string title_;
};

// A plain-text editor: a selection, an insertion point counted in characters (code points).
class FakeTextView : public TextView {
 public:
  FakeTextView(std::string id, CallLog log) : id_(std::move(id)), log_(std::move(log)) {}

  void setEditable(bool editable) override;
  bool isEditable() const override { return editable_; }
  void selectAll() override;
  void insertText(const std::string& text) override;
  void moveToBeginningOfDocument() override;
  // Appends the text; its attributes are not kept.
  void appendAttributedString(const AttributedString& text) override;
  std::string string() const override { return text_; }
  std::size_t insertionPoint() const override { return selectionStart_; }
  std::size_t selectionLength() const { return selectionEnd_ - selectionStart_; }

 private:
  std::string id_;
  CallLog log_;
  std::string text_;
  bool editable_ = false;           // text views of the interface files start read-only
  std::size_t selectionStart_ = 0;  // in characters
  std::size_t selectionEnd_ = 0;
};

class FakeScrollView : public ScrollView {
 public:
  explicit FakeScrollView(std::shared_ptr<TextView> document) : document_(std::move(document)) {}
  std::shared_ptr<TextView> documentView() override { return document_; }

 private:
  std::shared_ptr<TextView> document_;
};

// Builds fake widgets for whatever ids a controller asks for, and keeps them and the actions so a
// test can look at the widgets and click buttons.
class FakeInterfaceLoader : public InterfaceLoader {
 public:
  std::shared_ptr<Window> loadWindow(const std::string& name,
                                     const Connections& connections) override;

  // Makes the text view `textViewId` the document view of the scroll view `scrollViewId`, as in
  // a real interface file; otherwise each scroll view gets a text view of its own.
  void setDocumentView(const std::string& scrollViewId, const std::string& textViewId);
  // Loads of this interface fail, as if the file were missing.
  void setMissingInterface(const std::string& name) { missingInterfaces_.insert(name); }
  // Loads asking for this id fail, as if the interface file lacked it.
  void setMissingId(const std::string& id) { missingIds_.insert(id); }

  // Runs the action connected under this handler name; false when none is.
  bool click(const std::string& action) const;

  int loadCount(const std::string& name) const;
  // The widgets built by the last successful load; null when none was built.
  std::shared_ptr<FakeWindow> window(const std::string& name) const;
  std::shared_ptr<FakeTextView> textView(const std::string& id) const;
  std::shared_ptr<FakeTextFieldCell> textFieldCell(const std::string& id) const;
  std::shared_ptr<FakeScrollView> scrollView(const std::string& id) const;

  const std::vector<std::string>& log() const { return *log_; }
  void clearLog() { log_->clear(); }

 private:
  bool lacksAnyId(const Connections& connections) const;

  CallLog log_ = std::make_shared<std::vector<std::string>>();
  std::map<std::string, std::string> documentViews_;
  std::set<std::string> missingInterfaces_;
  std::set<std::string> missingIds_;
  std::map<std::string, int> loadCounts_;
  std::map<std::string, std::shared_ptr<FakeWindow>> windows_;
  std::map<std::string, std::shared_ptr<FakeTextView>> textViews_;
  std::map<std::string, std::shared_ptr<FakeTextFieldCell>> textFieldCells_;
  std::map<std::string, std::shared_ptr<FakeScrollView>> scrollViews_;
  std::map<std::string, std::function<void()>> actions_;
};

}  // namespace stratovane::testing
