// Notices through org.freedesktop.Notifications on a D-Bus connection, without a toolkit.
#pragma once

#include <gio/gio.h>

#include <cstdint>
#include <map>
#include <memory>

#include "platform/Notifier.h"
#include "platform/system/GObjectPtr.h"

namespace stratovane {

class DBusNotifier final : public Notifier {
 public:
  // Without a bus every notice is reported as not sent. Must be made and used on the main thread,
  // whose main context delivers the answers.
  explicit DBusNotifier(GDBusConnection* bus);
  ~DBusNotifier() override;
  DBusNotifier(const DBusNotifier&) = delete;
  DBusNotifier& operator=(const DBusNotifier&) = delete;

  void notify(const Notice& notice, std::function<void(bool sent)> sent,
              std::function<void()> chosen) override;

 private:
  struct Pending;

  static void onNotified(GObject* source, GAsyncResult* result, gpointer data);
  static void onSignal(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                       const gchar* signal, GVariant* parameters, gpointer data);

  GObjectPtr<GDBusConnection> bus_;
  GObjectPtr<GCancellable> cancellable_;
  guint actionSubscription_ = 0;
  guint closedSubscription_ = 0;
  std::map<std::uint32_t, std::function<void()>> shown_;  // the notices' ids and `chosen`
};

}  // namespace stratovane
