// A notification server on a test's bus: records each notice, answers with its id and lets the
// test click one.
#pragma once

#include <giomm/dbusconnection.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace stratovane::testing {

class FakeNotificationServer {
 public:
  struct Notice {
    std::uint32_t id = 0;
    std::string summary;
    std::string body;
    int urgency = -1;  // none when the hint is missing
  };

  // Owns org.freedesktop.Notifications on `bus`; throws std::runtime_error when it is taken.
  explicit FakeNotificationServer(const Glib::RefPtr<Gio::DBus::Connection>& bus);

  std::vector<Notice> notices() const;
  // "summary\nbody" of each notice.
  std::vector<std::string> received() const;
  // Emits ActionInvoked for the notice with the "default" action, as a click on it does.
  void click(std::uint32_t id) const;

 private:
  Glib::RefPtr<Gio::DBus::Connection> bus_;
  mutable std::mutex mutex_;  // notices arrive on GDBus's worker thread
  std::vector<Notice> notices_;
};

}  // namespace stratovane::testing
