// A D-Bus daemon of the test's own that activates no services, so only the test answers on it.
#pragma once

#include <giomm/dbusconnection.h>

#include <filesystem>
#include <memory>
#include <string>

#include "support/ChildProcess.h"

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

 private:
  std::filesystem::path folder_;
  std::unique_ptr<ChildProcess> daemon_;
  std::string address_;
  Glib::RefPtr<Gio::DBus::Connection> connection_;
};

// Takes `name` on `bus` without queueing for it; throws std::runtime_error when it is taken.
void ownName(const Glib::RefPtr<Gio::DBus::Connection>& bus, const std::string& name);

}  // namespace stratovane::testing
