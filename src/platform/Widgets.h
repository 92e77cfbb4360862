// The controls that controllers' outlets point to, and the loader of interface files.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "rtf/AttributedString.h"

namespace stratovane {

class Window {
 public:
  virtual ~Window() = default;
  virtual void show() = 0;
  virtual void close() = 0;
  virtual bool isVisible() const = 0;
  virtual void center() = 0;
  // Brings the window in front of others without activating the application.
  virtual void orderFrontRegardless() = 0;
};

class TextFieldCell {
 public:
  virtual ~TextFieldCell() = default;
  virtual void setTitle(const std::string& title) = 0;
  virtual std::string title() const = 0;
};

class TextView {
 public:
  virtual ~TextView() = default;
  virtual void setEditable(bool editable) = 0;
  virtual bool isEditable() const = 0;
  virtual void selectAll() = 0;
  // Replaces the selection as if typed; refused while the view is not editable.
  virtual void insertText(const std::string& text) = 0;
  virtual void moveToBeginningOfDocument() = 0;
  // Adds the text with its attributes at the end of the document, editable or not.
  virtual void appendAttributedString(const AttributedString& text) = 0;
  virtual std::string string() const = 0;
  // Insertion point as a count of characters from the start.
  virtual std::size_t insertionPoint() const = 0;
};

class ScrollView {
 public:
  virtual ~ScrollView() = default;
  virtual std::shared_ptr<TextView> documentView() = 0;
};

class TextField {
 public:
  virtual ~TextField() = default;
  virtual std::string stringValue() const = 0;
  virtual void setStringValue(const std::string& value) = 0;
};

struct PopUpItem {
  std::string title;
  std::int64_t tag = 0;
  bool on = false;  // the selected item is the one that is on
};

class PopUpButton {
 public:
  virtual ~PopUpButton() = default;
  virtual std::vector<PopUpItem> items() const = 0;
  virtual void addItem(const std::string& title, std::int64_t tag) = 0;
  // Out-of-range indices are ignored.
  virtual void setItemTitle(std::size_t index, const std::string& title) = 0;
  // Out-of-range indices are ignored.
  virtual void selectItem(std::size_t index) = 0;
  // Selects the first item with this tag; false, and the selection unchanged, when none has it.
  virtual bool selectItemWithTag(std::int64_t tag) = 0;
  // The selected item's tag; -1 when none is selected.
  virtual std::int64_t selectedTag() const = 0;
  // Runs after the user picked an item.
  virtual void setAction(std::function<void()> action) = 0;
};

class SegmentedControl {
 public:
  virtual ~SegmentedControl() = default;
  virtual int segmentCount() const = 0;
  // An index outside the segments selects none.
  virtual void setSelectedSegment(std::int64_t segment) = 0;
  // -1 when none is selected.
  virtual int selectedSegment() const = 0;
  // Runs after the user picked a segment.
  virtual void setAction(std::function<void()> action) = 0;
};

// An on-off switch, read when the view closes.
class Switch {
 public:
  virtual ~Switch() = default;
  virtual bool isOn() const = 0;
  virtual void setOn(bool on) = 0;
};

// A search entry with a list of results that opens under it.
class SearchField {
 public:
  virtual ~SearchField() = default;
  virtual std::string stringValue() const = 0;
  // Sets the text without running the text-changed action.
  virtual void setStringValue(const std::string& value) = 0;
  // Runs after each change of the text by the user.
  virtual void setTextChangedAction(std::function<void()> action) = 0;
  // Runs on Enter while no result is highlighted.
  virtual void setActivateAction(std::function<void()> action) = 0;
  // Runs with the position of the result the user clicked, or highlighted and entered.
  virtual void setChooseAction(std::function<void(std::size_t)> action) = 0;
  // Opens the list with these lines, shown as plain text, each one a result in order.
  virtual void showResults(const std::vector<std::string>& lines) = 0;
  // Opens the list with one line that cannot be chosen.
  virtual void showNotice(const std::string& line) = 0;
  virtual void closeResults() = 0;
};

// A push button that can show that its work is under way.
class Button {
 public:
  virtual ~Button() = default;
  virtual void setHidden(bool hidden) = 0;
  // A busy button shows it and cannot be pressed.
  virtual void setBusy(bool busy) = 0;
  // Runs after the user pressed it.
  virtual void setAction(std::function<void()> action) = 0;
};

class MapView;

// A view of an interface file (the content of a window or a popover).
class View {
 public:
  virtual ~View() = default;
  // Closes the view the way it was presented.
  virtual void dismiss() = 0;
};

// What a controller asks the loader to connect: outlets by widget id, actions by handler name.
struct Connections {
  template <class T>
  using Outlet = std::pair<std::string, std::shared_ptr<T>*>;

  std::vector<Outlet<TextFieldCell>> textFieldCells;
  std::vector<Outlet<TextView>> textViews;
  std::vector<Outlet<ScrollView>> scrollViews;
  std::vector<Outlet<TextField>> textFields;
  std::vector<Outlet<PopUpButton>> popUpButtons;
  std::vector<Outlet<SegmentedControl>> segmentedControls;
  std::vector<Outlet<MapView>> mapViews;
  std::vector<Outlet<View>> views;  // nested views of the file, by identifier
  std::vector<Outlet<Switch>> switches;
  std::vector<Outlet<SearchField>> searchFields;
  std::vector<Outlet<Button>> buttons;
  std::vector<std::pair<std::string, std::function<void()>>> actions;
};

class InterfaceLoader {
 public:
  virtual ~InterfaceLoader() = default;
  // Builds the window of the named interface file and fills every requested outlet and action;
  // none when the file or one of the requested ids is missing.
  virtual std::shared_ptr<Window> loadWindow(const std::string& name,
                                             const Connections& connections) = 0;
  // Builds the view with this identifier in the named interface file, not yet shown, and fills
  // every requested outlet and action; none when something is missing or views are not shown.
  virtual std::shared_ptr<View> loadView(const std::string& /*name*/,
                                         const std::string& /*identifier*/,
                                         const Connections& /*connections*/) {
    return nullptr;
  }
};

}  // namespace stratovane
