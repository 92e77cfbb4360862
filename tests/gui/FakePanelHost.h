// A panel on a bus: the watcher items register with, reading and clicking their menus.
#pragma once

#include <giomm/dbusconnection.h>

#include <optional>
#include <string>
#include <vector>

namespace stratovane::testing {

class FakePanelHost {
 public:
  // What an item registered with.
  struct Item {
    std::string service;  // bus name
    std::string objectPath;
  };

  struct Entry {
    int id;
    std::string label;  // empty for separators
    bool separator;
    bool enabled;
  };

  // Owns the watcher's name on `bus`; throws std::runtime_error when it is taken.
  explicit FakePanelHost(Glib::RefPtr<Gio::DBus::Connection> bus);
  ~FakePanelHost();
  FakePanelHost(const FakePanelHost&) = delete;
  FakePanelHost& operator=(const FakePanelHost&) = delete;

  // Registrations arrive while the default main context runs.
  bool hasItem() const { return !item_.service.empty(); }
  // The label the item shows (XAyatanaLabel); none when it cannot be read.
  std::optional<std::string> label() const { return stringProperty("XAyatanaLabel"); }
  // A string property of the item (IconName, Title, ...); none when it cannot be read.
  std::optional<std::string> stringProperty(const char* name) const;
  // The entries of the menu's first level.
  std::vector<Entry> menu() const;
  // Sends a click on the first entry with this label; false when there is none.
  bool click(const std::string& label) const;

 private:
  Glib::RefPtr<Gio::DBus::Connection> bus_;
  guint registration_ = 0;
  Item item_;  // written by the watcher's method handler
};

}  // namespace stratovane::testing
