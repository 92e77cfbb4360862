// The controls that controllers' outlets point to, and the loader of interface files.
#pragma once

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

// What a controller asks the loader to connect: outlets by widget id, actions by handler name.
struct Connections {
  template <class T>
  using Outlet = std::pair<std::string, std::shared_ptr<T>*>;

  std::vector<Outlet<TextFieldCell>> textFieldCells;
  std::vector<Outlet<TextView>> textViews;
  std::vector<Outlet<ScrollView>> scrollViews;
  std::vector<std::pair<std::string, std::function<void()>>> actions;
};

class InterfaceLoader {
 public:
  virtual ~InterfaceLoader() = default;
  // Builds the window of the named interface file and fills every requested outlet and action;
  // none when the file or one of the requested ids is missing.
  virtual std::shared_ptr<Window> loadWindow(const std::string& name,
                                             const Connections& connections) = 0;
};

}  // namespace stratovane
