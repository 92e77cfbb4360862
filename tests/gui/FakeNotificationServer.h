// A notification server on a test's bus: records each notice, answers with its id and lets the
// test choose one.
#pragma once

#include <giomm/dbusconnection.h>

#include <cstdint>
#include <string>
#include <vector>

namespace stratovane::testing {

class FakeNotificationServer {
 public:
  struct Notice {
    std::uint32_t id = 0;
    std::string summary;
    std::string body;
    std::vector<std::string> actions;  // keys and labels, as sent
    int urgency = -1;                  // none when the hint is missing
  };

  // Owns org.freedesktop.Notifications on `bus`; calls arrive while the default main context runs.
  // Throws std::runtime_error when the name is taken.
  explicit FakeNotificationServer(Glib::RefPtr<Gio::DBus::Connection> bus);
  ~FakeNotificationServer();
  FakeNotificationServer(const FakeNotificationServer&) = delete;
  FakeNotificationServer& operator=(const FakeNotificationServer&) = delete;

  const std::vector<Notice>& notices() const { return notices_; }
  // "summary\nbody" of each notice.
  std::vector<std::string> received() const;
  // Emits ActionInvoked for the notice, as a click on it does.
  void invoke(std::uint32_t id, const std::string& action) const;

 private:
  static void onMethodCall(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                           const gchar* method, GVariant* parameters,
                           GDBusMethodInvocation* invocation, gpointer data);

  Glib::RefPtr<Gio::DBus::Connection> bus_;
  guint registration_ = 0;
  std::vector<Notice> notices_;
};

}  // namespace stratovane::testing
