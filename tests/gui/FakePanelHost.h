// A panel on a bus: the watcher items register with, reading and clicking their menus.
#pragma once

#include <giomm/dbusconnection.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace stratovane::testing {

class FakePanelHost {
 public:
  // Owns the watcher's name on `bus`; throws std::runtime_error when it is taken.
  explicit FakePanelHost(Glib::RefPtr<Gio::DBus::Connection> bus);
  ~FakePanelHost();
  FakePanelHost(const FakePanelHost&) = delete;
  FakePanelHost& operator=(const FakePanelHost&) = delete;

  // Registrations arrive while the default main context runs.
  bool hasItem() const { return !item_.first.empty(); }
  // A string property of the item (IconName, Title, XAyatanaLabel); none when it cannot be read.
  std::optional<std::string> property(const char* name) const;
  // The menu's first level: separators as "---", disabled entries marked "(off)".
  std::vector<std::string> menu() const;
  // Sends a click on the first entry with this label; false when there is none.
  bool click(const std::string& label) const;

 private:
  std::vector<std::pair<int, std::string>> entries() const;  // ids and menu() texts

  Glib::RefPtr<Gio::DBus::Connection> bus_;
  guint registration_ = 0;
  std::pair<std::string, std::string> item_;  // bus name and object path, as registered
};

}  // namespace stratovane::testing
