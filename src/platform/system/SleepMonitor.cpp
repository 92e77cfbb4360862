// Tells when the system has woken from sleep, from logind on the system bus.
#include "platform/system/SleepMonitor.h"

#include <utility>

#include "platform/Translation.h"
#include "platform/system/GuardedCall.h"

namespace stratovane {

SleepMonitor::SleepMonitor(std::function<void()> woke)
    : woke_(std::move(woke)), cancellable_(g_cancellable_new()) {
  g_bus_get(G_BUS_TYPE_SYSTEM, cancellable_, &SleepMonitor::onConnected, this);
}

SleepMonitor::~SleepMonitor() {
  // A connection still being made finishes into a cancelled result that touches nothing here.
  g_cancellable_cancel(cancellable_);
  g_object_unref(cancellable_);
  if (bus_ != nullptr) {
    g_dbus_connection_signal_unsubscribe(bus_, subscription_);
    g_object_unref(bus_);
  }
}

void SleepMonitor::onConnected(GObject*, GAsyncResult* result, gpointer data) {
  GError* error = nullptr;
  GDBusConnection* bus = g_bus_get_finish(result, &error);
  if (bus == nullptr) {
    g_error_free(error);  // no system bus: after a sleep the schedule catches up alone
    return;
  }
  auto* self = static_cast<SleepMonitor*>(data);
  self->bus_ = bus;
  self->subscription_ = g_dbus_connection_signal_subscribe(
      bus, "org.freedesktop.login1", "org.freedesktop.login1.Manager", "PrepareForSleep",
      "/org/freedesktop/login1", nullptr, G_DBUS_SIGNAL_FLAGS_NONE,
      &SleepMonitor::onPrepareForSleep, self, nullptr);
}

void SleepMonitor::onPrepareForSleep(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                                     const gchar*, GVariant* parameters, gpointer data) {
  if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(b)"))) return;
  gboolean goingToSleep = TRUE;
  g_variant_get(parameters, "(b)", &goingToSleep);
  if (goingToSleep) return;
  callGuarded(static_cast<SleepMonitor*>(data)->woke_, trLater("wake from sleep"));
}

}  // namespace stratovane
