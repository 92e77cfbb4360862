// A D-Bus daemon of the test's own that activates no services, so only the test answers on it, and
// a fake panel on it.
#pragma once

#include <giomm/dbusconnection.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/ChildProcess.h"
#include "support/TempDir.h"

namespace stratovane::testing {

class PrivateBus {
 public:
  PrivateBus();  // throws std::runtime_error when the daemon does not start
  ~PrivateBus();
  PrivateBus(const PrivateBus&) = delete;
  PrivateBus& operator=(const PrivateBus&) = delete;

  const std::string& address() const { return address_; }
  // The test's own connection to the bus.
  const Glib::RefPtr<Gio::DBus::Connection>& connection() const { return connection_; }
  // Another connection, as another process would have; closing it gives up its names.
  Glib::RefPtr<Gio::DBus::Connection> connect() const;

 private:
  TempDir folder_;
  std::unique_ptr<ChildProcess> daemon_;
  std::string address_;
  Glib::RefPtr<Gio::DBus::Connection> connection_;
};

// Takes `name` on `bus` without queueing for it; throws std::runtime_error when it is taken.
void ownName(const Glib::RefPtr<Gio::DBus::Connection>& bus, const std::string& name);

// A value as GVariant prints it.
std::string printed(GVariant* value);

// The reply to a method call, printed, or "error: " and the error; the default main context turns
// meanwhile, so the callee may be in this process. Takes `arguments` when it is floating.
std::string callPrinted(const Glib::RefPtr<Gio::DBus::Connection>& bus, const std::string& service,
                        const std::string& path, const char* interface, const char* method,
                        GVariant* arguments);

// A panel on a bus: the watcher items register with, reading and clicking their menus.
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
  // Any property of the item as GVariant prints it ("'text'", "('', @a(iiay) [], 'x', '')"), or
  // "error: " and why it cannot be read.
  std::string printedProperty(const char* name) const;
  // The reply to a method of the item or of its menu, printed; "error: " and the error when the
  // call fails. Takes `arguments` when it is floating.
  std::string callItem(const char* method, GVariant* arguments) const;
  std::string callMenu(const char* method, GVariant* arguments) const;
  // How many times an item registered.
  int registrations() const { return registrations_; }
  // The menu's first level: separators as "---", disabled entries marked "(off)".
  std::vector<std::string> menu() const;
  // The same with each entry's id.
  std::vector<std::pair<int, std::string>> entries() const;
  // Sends a click on the first entry with this label; false when there is none.
  bool click(const std::string& label) const;

  static void onMethodCall(GDBusConnection*, const gchar* sender, const gchar*, const gchar*,
                           const gchar* method, GVariant* parameters,
                           GDBusMethodInvocation* invocation, gpointer host);

 private:
  // The property's value, or null with `error` saying why.
  GVariant* propertyValue(const char* name, std::string* error = nullptr) const;

  Glib::RefPtr<Gio::DBus::Connection> bus_;
  guint registration_ = 0;
  std::pair<std::string, std::string> item_;  // bus name and object path, as registered
  int registrations_ = 0;
};

}  // namespace stratovane::testing
