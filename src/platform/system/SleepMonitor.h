// Tells when the system has woken from sleep, from logind on the system bus.
#pragma once

#include <gio/gio.h>

#include <functional>

namespace stratovane {

// Connects to the system bus without blocking and runs `woke` on the default main context each
// time logind reports the end of a sleep (PrepareForSleep(false)). Without a system bus, or
// without logind on it, nothing happens and nothing is said.
class SleepMonitor {
 public:
  explicit SleepMonitor(std::function<void()> woke);
  ~SleepMonitor();
  SleepMonitor(const SleepMonitor&) = delete;
  SleepMonitor& operator=(const SleepMonitor&) = delete;

 private:
  static void onConnected(GObject* source, GAsyncResult* result, gpointer data);
  static void onPrepareForSleep(GDBusConnection* connection, const gchar* sender, const gchar* path,
                                const gchar* interface, const gchar* signal, GVariant* parameters,
                                gpointer data);

  std::function<void()> woke_;
  GCancellable* cancellable_;
  GDBusConnection* bus_ = nullptr;
  guint subscription_ = 0;
};

}  // namespace stratovane
