// Fake windows, text views and an interface loader that record what controllers do to them.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <typeindex>
#include <vector>

#include "platform/MapView.h"
#include "platform/ViewPresenter.h"
#include "platform/Widgets.h"

namespace stratovane::testing {

// One log per loader, shared by its widgets, so tests can check the order of calls across widgets.
// Entries look like "weatherTxtView.setEditable(true)" or "forcastWindows.center()".
using CallLog = std::shared_ptr<std::vector<std::string>>;

// A widget's id and the log its calls go to.
class Logged {
 public:
  Logged(std::string id, CallLog log) : id_(std::move(id)), log_(std::move(log)) {}

 protected:
  void record(const std::string& call) const { log_->push_back(id_ + "." + call); }
  // Records the call and hands back `value`, so that a setter logs and stores in one line.
  template <class T>
  T record(const std::string& call, T value) const {
    record(call);
    return value;
  }
  static std::string text(bool value) { return value ? "true" : "false"; }

  std::string id_;
  CallLog log_;
};

class FakeWindow : public Window, Logged {
 public:
  using Logged::Logged;
  void show() override { visible_ = record("show()", true); }
  void close() override { visible_ = record("close()", false); }
  bool isVisible() const override { return visible_; }
  void center() override { record("center()"); }
  void orderFrontRegardless() override { record("orderFrontRegardless()"); }

 private:
  bool visible_ = false;
};

class FakeTextFieldCell : public TextFieldCell, Logged {
 public:
  using Logged::Logged;
  void setTitle(const std::string& title) override {
    title_ = record("setTitle(" + title + ")", title);
  }
  std::string title() const override { return title_; }

 private:
  std::string title_;
};

// A plain-text editor with a selection; positions count bytes, as no test reads them in text
// beyond ASCII.
class FakeTextView : public TextView, Logged {
 public:
  using Logged::Logged;
  void setEditable(bool editable) override {
    editable_ = record("setEditable(" + text(editable) + ")", editable);
  }
  bool isEditable() const override { return editable_; }
  void selectAll() override {
    selectionStart_ = record("selectAll()", std::size_t{0});
    selectionEnd_ = text_.size();
  }
  void insertText(const std::string& text) override {
    record("insertText(" + text + ")");
    if (!editable_) return;
    text_.replace(selectionStart_, selectionEnd_ - selectionStart_, text);
    selectionStart_ = selectionEnd_ = selectionStart_ + text.size();
  }
  void moveToBeginningOfDocument() override {
    selectionStart_ = selectionEnd_ = record("moveToBeginningOfDocument()", std::size_t{0});
  }
  // Appends the text; its attributes are not kept.
  void appendAttributedString(const AttributedString& text) override {
    text_ += record("appendAttributedString(" + text.string + ")", text.string);
  }
  std::string string() const override { return text_; }
  std::size_t insertionPoint() const override { return selectionStart_; }

 private:
  std::string text_;
  bool editable_ = false;  // text views of the interface files start read-only
  std::size_t selectionStart_ = 0;
  std::size_t selectionEnd_ = 0;
};

class FakeScrollView : public ScrollView {
 public:
  explicit FakeScrollView(std::shared_ptr<TextView> document) : document_(std::move(document)) {}
  std::shared_ptr<TextView> documentView() override { return document_; }

 private:
  std::shared_ptr<TextView> document_;
};

class FakeTextField : public TextField, Logged {
 public:
  using Logged::Logged;
  std::string stringValue() const override { return value_; }
  void setStringValue(const std::string& value) override {
    value_ = record("setStringValue(" + value + ")", value);
  }

 private:
  std::string value_;
};

// A pop-up whose one selected item is on, like a real one.
class FakePopUpButton : public PopUpButton, Logged {
 public:
  using Logged::Logged;
  std::vector<PopUpItem> items() const override;
  void addItem(const std::string& title, std::int64_t tag) override {
    items_.push_back(record("addItem(" + title + ")", PopUpItem{title, tag, false}));
  }
  void setItemTitle(std::size_t index, const std::string& title) override {
    record("setItemTitle(" + std::to_string(index) + ", " + title + ")");
    if (index < items_.size()) items_[index].title = title;
  }
  void selectItem(std::size_t index) override;
  bool selectItemWithTag(std::int64_t tag) override;
  std::int64_t selectedTag() const override { return selected_ < 0 ? -1 : selectedItem().tag; }
  void setAction(std::function<void()> action) override { action_ = std::move(action); }

  // As the user does it: selects the item with this title and runs the action.
  void choose(const std::string& title);
  std::string selectedTitle() const { return selected_ < 0 ? "" : selectedItem().title; }

 private:
  friend class FakeInterfaceLoader;
  const PopUpItem& selectedItem() const { return items_[static_cast<std::size_t>(selected_)]; }

  std::vector<PopUpItem> items_;
  long selected_ = -1;
  std::function<void()> action_;
};

class FakeSegmentedControl : public SegmentedControl, Logged {
 public:
  FakeSegmentedControl(std::string id, CallLog log, int count, int selected)
      : Logged(std::move(id), std::move(log)), count_(count), selected_(selected) {}
  int segmentCount() const override { return count_; }
  void setSelectedSegment(std::int64_t segment) override {
    record("setSelectedSegment(" + std::to_string(segment) + ")");
    selected_ = segment >= 0 && segment < count_ ? static_cast<int>(segment) : -1;
  }
  int selectedSegment() const override { return selected_; }
  void setAction(std::function<void()> action) override { action_ = std::move(action); }

  // As the user does it: selects the segment and runs the action.
  void choose(int segment) {
    selected_ = segment;
    if (action_) action_();
  }

 private:
  int count_;
  int selected_;
  std::function<void()> action_;
};

// A map whose points convert by a rule the test may set; the type starts as the layout's.
class FakeMapView : public MapView, Logged {
 public:
  using Logged::Logged;
  void addAnnotation(const PointAnnotation& annotation) override {
    annotations_.push_back(record("addAnnotation(" + annotation.title + ")", annotation));
  }
  std::vector<PointAnnotation> annotations() const override { return annotations_; }
  void removeAllAnnotations() override {
    annotations_ = record("removeAllAnnotations()", std::vector<PointAnnotation>{});
  }
  void setCenterCoordinate(Coordinate coordinate) override {
    center = record("setCenterCoordinate()", coordinate);
  }
  void setZoomLevel(int level) override {
    zoomLevel = record("setZoomLevel(" + std::to_string(level) + ")", level);
  }
  void setMapType(MapType type) override {
    mapType = record("setMapType(" + std::to_string(static_cast<int>(type)) + ")", type);
  }
  Coordinate convertPoint(ViewPoint point) const override { return convert(point); }
  void addClickRecognizer(std::function<void(ViewPoint)> action) override {
    recognizers_.push_back(record("addClickRecognizer()", std::move(action)));
  }

  // A single click of the primary button at this point, to every recogniser.
  void click(ViewPoint point) const {
    for (const auto& recognizer : recognizers_) recognizer(point);
  }

  Coordinate center;
  int zoomLevel = 11;  // the layout's
  MapType mapType = MapType::standard;
  std::function<Coordinate(ViewPoint)> convert = [](ViewPoint point) {
    return Coordinate{-point.y, point.x};
  };

 private:
  std::vector<PointAnnotation> annotations_;
  std::vector<std::function<void(ViewPoint)>> recognizers_;
};

class FakeSwitch : public Switch, Logged {
 public:
  using Logged::Logged;
  bool isOn() const override { return on_; }
  void setOn(bool on) override { on_ = record("setOn(" + text(on) + ")", on); }

 private:
  bool on_ = false;
};

// Records what the controller shows; the user's typing, Enter and clicks are the test's calls.
class FakeSearchField : public SearchField, Logged {
 public:
  using Logged::Logged;
  std::string stringValue() const override { return text_; }
  void setStringValue(const std::string& value) override {
    text_ = record("setStringValue(" + value + ")", value);
  }
  void setTextChangedAction(std::function<void()> action) override { changed_ = std::move(action); }
  void setActivateAction(std::function<void()> action) override { activate_ = std::move(action); }
  void setChooseAction(std::function<void(std::size_t)> action) override {
    choose_ = std::move(action);
  }
  void showResults(const std::vector<std::string>& lines) override {
    shown = record("showResults()", lines);
    notice.clear();
  }
  void showNotice(const std::string& line) override {
    notice = record("showNotice(" + line + ")", line);
    shown.clear();
  }
  void closeResults() override {
    record("closeResults()");
    shown.clear();
    notice.clear();
  }

  // As the user does it: the new text, then the change.
  void type(const std::string& text) {
    text_ = text;
    if (changed_) changed_();
  }
  void pressEnter() const {
    if (activate_) activate_();
  }
  void click(std::size_t line) const {
    if (choose_) choose_(line);
  }
  bool isOpen() const { return !shown.empty() || !notice.empty(); }

  std::vector<std::string> shown;  // the open list's results
  std::string notice;              // or its one line that cannot be chosen

 private:
  std::string text_;
  std::function<void()> changed_;
  std::function<void()> activate_;
  std::function<void(std::size_t)> choose_;
};

class FakeButton : public Button, Logged {
 public:
  using Logged::Logged;
  void setHidden(bool value) override { hidden = record("setHidden(" + text(value) + ")", value); }
  void setBusy(bool value) override { busy = record("setBusy(" + text(value) + ")", value); }
  void setAction(std::function<void()> action) override { action_ = std::move(action); }
  // A press as the user makes it: nothing while hidden or busy.
  void press() const {
    if (!hidden && !busy && action_) action_();
  }
  bool hidden = false;
  bool busy = false;

 private:
  std::function<void()> action_;
};

class FakeView : public View, Logged {
 public:
  using Logged::Logged;
  void dismiss() override { dismissCount = record("dismiss()", dismissCount + 1); }
  int dismissCount = 0;
};

// Shows nothing: runs the life cycle when told, as the user opening and closing the view.
class FakeViewPresenter : public ViewPresenter {
 public:
  // Runs viewWillAppear at once.
  void present(std::shared_ptr<View> view, PresentationStyle style,
               ViewLifeCycle lifeCycle) override;
  void bringToFront(View& view) override { broughtToFront.push_back(&view); }

  // Closes the view presented last and runs its viewDidDisappear; false when none is open.
  bool close();

  int presentCount = 0;
  std::vector<View*> broughtToFront;
  std::shared_ptr<View> view;
  PresentationStyle style = PresentationStyle::window;

 private:
  ViewLifeCycle lifeCycle_;
  bool open_ = false;
};

// Builds fake widgets for whatever ids a controller asks for, and keeps them and the actions so a
// test can look at the widgets and click buttons.
class FakeInterfaceLoader : public InterfaceLoader {
 public:
  std::shared_ptr<Window> loadWindow(const std::string& name,
                                     const Connections& connections) override;

  // Makes the text view `textViewId` the document view of the scroll view `scrollViewId`, as in
  // a real interface file; otherwise each scroll view gets a text view of its own.
  void setDocumentView(const std::string& scrollViewId, const std::string& textViewId) {
    documentViews_[scrollViewId] = textViewId;
  }
  // Loads of this interface fail, as if the file were missing.
  void setMissingInterface(const std::string& name) { missingInterfaces_.insert(name); }

  // Runs the action connected under this handler name; false when none is.
  bool click(const std::string& action) const;

  int loadCount(const std::string& name) const {
    return loadCounts_.count(name) != 0 ? loadCounts_.at(name) : 0;
  }

  // Builds the view's window through loadWindow, then the outlets that only views have.
  std::shared_ptr<View> loadView(const std::string& name, const std::string& identifier,
                                 const Connections& connections) override;
  // Items and selection that the pop-up `id` gets from the interface file; none unless set.
  void setPopUpItems(const std::string& id, std::vector<PopUpItem> items, long selected) {
    popUpLayouts_[id] = {std::move(items), selected};
  }
  // The segments of the control `id` and the layout's selection; 2 and 0 unless set.
  void setSegments(const std::string& id, int count, int selected) {
    segmentLayouts_[id] = {count, selected};
  }

  // The fake of this type built under `id` by the last successful load; null when none was.
  template <class T>
  std::shared_ptr<T> get(const std::string& id) const {
    const auto found = built_.find({typeid(T), id});
    return found == built_.end() ? nullptr : std::static_pointer_cast<T>(found->second);
  }

  const std::vector<std::string>& log() const { return *log_; }
  void clearLog() { log_->clear(); }

 private:
  template <class T>
  std::shared_ptr<T> keep(const std::string& id, std::shared_ptr<T> fake) {
    return std::static_pointer_cast<T>(built_[{typeid(T), id}] = std::move(fake));
  }
  // A fresh fake for every outlet, kept under its id.
  template <class T, class Outlets>
  void build(const Outlets& outlets) {
    for (const auto& [id, outlet] : outlets) *outlet = keep(id, std::make_shared<T>(id, log_));
  }

  CallLog log_ = std::make_shared<std::vector<std::string>>();
  std::map<std::string, std::string> documentViews_;
  std::set<std::string> missingInterfaces_;
  std::map<std::string, int> loadCounts_;
  std::map<std::string, std::function<void()>> actions_;
  std::map<std::string, std::pair<std::vector<PopUpItem>, long>> popUpLayouts_;
  std::map<std::string, std::pair<int, int>> segmentLayouts_;
  std::map<std::pair<std::type_index, std::string>, std::shared_ptr<void>> built_;
};

}  // namespace stratovane::testing
