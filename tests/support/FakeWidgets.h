// Fake windows, text views and an interface loader that record what controllers do to them.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/MapView.h"
#include "platform/ViewPresenter.h"
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

class FakeTextField : public TextField {
 public:
  FakeTextField(std::string id, CallLog log) : id_(std::move(id)), log_(std::move(log)) {}
  std::string stringValue() const override { return value_; }
  void setStringValue(const std::string& value) override;

 private:
  std::string id_;
  CallLog log_;
  std::string value_;
};

// A pop-up whose one selected item is on, like a real one.
class FakePopUpButton : public PopUpButton {
 public:
  FakePopUpButton(std::string id, CallLog log) : id_(std::move(id)), log_(std::move(log)) {}
  std::vector<PopUpItem> items() const override;
  void addItem(const std::string& title, std::int64_t tag) override;
  void selectItem(std::size_t index) override;
  bool selectItemWithTag(std::int64_t tag) override;
  std::int64_t selectedTag() const override;
  void setAction(std::function<void()> action) override { action_ = std::move(action); }

  // As the user does it: selects the item with this title and runs the action.
  void choose(const std::string& title);
  std::string selectedTitle() const;
  void deselectAll() { selected_ = -1; }

 private:
  friend class FakeInterfaceLoader;
  std::string id_;
  CallLog log_;
  std::vector<PopUpItem> items_;
  long selected_ = -1;
  std::function<void()> action_;
};

class FakeSegmentedControl : public SegmentedControl {
 public:
  FakeSegmentedControl(std::string id, CallLog log, int count)
      : id_(std::move(id)), log_(std::move(log)), count_(count) {}
  int segmentCount() const override { return count_; }
  void setSelectedSegment(std::int64_t segment) override;
  int selectedSegment() const override { return selected_; }
  void setAction(std::function<void()> action) override { action_ = std::move(action); }

  // As the user does it: selects the segment and runs the action.
  void choose(int segment);

 private:
  friend class FakeInterfaceLoader;
  std::string id_;
  CallLog log_;
  int count_;
  int selected_ = 0;
  std::function<void()> action_;
};

// A map whose points convert by a rule the test may set; the type starts as the layout's.
class FakeMapView : public MapView {
 public:
  FakeMapView(std::string id, CallLog log) : id_(std::move(id)), log_(std::move(log)) {}
  void addAnnotation(const PointAnnotation& annotation) override;
  std::vector<PointAnnotation> annotations() const override { return annotations_; }
  void removeAllAnnotations() override;
  void setCenterCoordinate(Coordinate center) override;
  void setMapType(MapType type) override;
  Coordinate convertPoint(ViewPoint point) const override { return convert(point); }
  void addClickRecognizer(std::function<void(ViewPoint)> action) override;

  // A single click of the primary button at this point, to every recogniser.
  void click(ViewPoint point) const;

  Coordinate center;
  MapType mapType = MapType::standard;
  std::function<Coordinate(ViewPoint)> convert = [](ViewPoint point) {
    return Coordinate{-point.y, point.x};
  };

 private:
  std::string id_;
  CallLog log_;
  std::vector<PointAnnotation> annotations_;
  std::vector<std::function<void(ViewPoint)>> recognizers_;
};

class FakeSwitch : public Switch {
 public:
  FakeSwitch(std::string id, CallLog log) : id_(std::move(id)), log_(std::move(log)) {}
  bool isOn() const override { return on_; }
  void setOn(bool on) override;
  // As the user does it.
  void toggle() { on_ = !on_; }

 private:
  std::string id_;
  CallLog log_;
  bool on_ = false;
};

class FakeView : public View {
 public:
  FakeView(std::string id, CallLog log) : id_(std::move(id)), log_(std::move(log)) {}
  void dismiss() override;
  int dismissCount = 0;

 private:
  std::string id_;
  CallLog log_;
};

// Shows nothing: runs the life cycle when told, as the user opening and closing the view.
class FakeViewPresenter : public ViewPresenter {
 public:
  // Runs viewWillAppear at once.
  void present(std::shared_ptr<View> view, PresentationStyle style,
               ViewLifeCycle lifeCycle) override;
  void bringToFront(View& view) override;

  // Closes the view presented last and runs its viewDidDisappear; false when none is open.
  bool close();
  bool isOpen() const { return open_; }

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
  void setDocumentView(const std::string& scrollViewId, const std::string& textViewId);
  // Loads of this interface fail, as if the file were missing.
  void setMissingInterface(const std::string& name) { missingInterfaces_.insert(name); }
  // Loads asking for this id fail, as if the interface file lacked it.
  void setMissingId(const std::string& id) { missingIds_.insert(id); }

  // Runs the action connected under this handler name; false when none is.
  bool click(const std::string& action) const;

  int loadCount(const std::string& name) const {
    const auto found = loadCounts_.find(name);
    return found == loadCounts_.end() ? 0 : found->second;
  }
  // The widgets built by the last successful load; null when none was built.
  std::shared_ptr<FakeWindow> window(const std::string& name) const {
    return lookup(windows_, name);
  }
  std::shared_ptr<FakeTextView> textView(const std::string& id) const {
    return lookup(textViews_, id);
  }
  std::shared_ptr<FakeTextFieldCell> textFieldCell(const std::string& id) const {
    return lookup(textFieldCells_, id);
  }
  std::shared_ptr<FakeScrollView> scrollView(const std::string& id) const {
    return lookup(scrollViews_, id);
  }

  // Builds the view's window through loadWindow, then the outlets that only views have.
  std::shared_ptr<View> loadView(const std::string& name, const std::string& identifier,
                                 const Connections& connections) override;
  // Items and selection that the pop-up `id` gets from the interface file; none unless set.
  void setPopUpItems(const std::string& id, std::vector<PopUpItem> items, long selected);
  // The segments of the control `id` and the layout's selection; 2 and 0 unless set.
  void setSegments(const std::string& id, int count, int selected);
  std::shared_ptr<FakeTextField> textField(const std::string& id) const {
    return lookup(textFields_, id);
  }
  std::shared_ptr<FakePopUpButton> popUpButton(const std::string& id) const {
    return lookup(popUpButtons_, id);
  }
  std::shared_ptr<FakeSegmentedControl> segmentedControl(const std::string& id) const {
    return lookup(segmentedControls_, id);
  }
  std::shared_ptr<FakeMapView> mapView(const std::string& id) const {
    return lookup(mapViews_, id);
  }
  std::shared_ptr<FakeView> view(const std::string& id) const { return lookup(views_, id); }
  std::shared_ptr<FakeSwitch> switchNamed(const std::string& id) const {
    return lookup(switches_, id);
  }

  const std::vector<std::string>& log() const { return *log_; }
  void clearLog() { log_->clear(); }

 private:
  bool lacksAnyId(const Connections& connections) const;
  template <class Map>
  static typename Map::mapped_type lookup(const Map& map, const std::string& key) {
    const auto found = map.find(key);
    return found == map.end() ? nullptr : found->second;
  }

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
  std::map<std::string, std::pair<std::vector<PopUpItem>, long>> popUpLayouts_;
  std::map<std::string, std::pair<int, int>> segmentLayouts_;
  std::map<std::string, std::shared_ptr<FakeTextField>> textFields_;
  std::map<std::string, std::shared_ptr<FakePopUpButton>> popUpButtons_;
  std::map<std::string, std::shared_ptr<FakeSegmentedControl>> segmentedControls_;
  std::map<std::string, std::shared_ptr<FakeMapView>> mapViews_;
  std::map<std::string, std::shared_ptr<FakeView>> views_;
  std::map<std::string, std::shared_ptr<FakeSwitch>> switches_;
};

}  // namespace stratovane::testing
