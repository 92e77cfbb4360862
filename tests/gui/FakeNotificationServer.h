// A desktop notification server on a bus that records what it was asked to show.
#pragma once

#include <giomm/dbusconnection.h>

#include <string>
#include <vector>

namespace stratovane::testing {

class FakeNotificationServer {
 public:
  struct Notice {
    std::string appName;
    std::string summary;
    std::string body;
  };

  // Owns org.freedesktop.Notifications on `bus`; throws std::runtime_error when it is taken.
  explicit FakeNotificationServer(Glib::RefPtr<Gio::DBus::Connection> bus);
  ~FakeNotificationServer();
  FakeNotificationServer(const FakeNotificationServer&) = delete;
  FakeNotificationServer& operator=(const FakeNotificationServer&) = delete;

  // Notify calls arrive while the default main context runs.
  const std::vector<Notice>& notices() const { return notices_; }

 private:
  Glib::RefPtr<Gio::DBus::Connection> bus_;
  guint registration_ = 0;
  std::vector<Notice> notices_;
};

}  // namespace stratovane::testing
