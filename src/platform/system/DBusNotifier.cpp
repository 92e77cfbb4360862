// Notices through org.freedesktop.Notifications on a D-Bus connection, without a toolkit.
#include "platform/system/DBusNotifier.h"

#include <string>
#include <utility>

#include "platform/Translation.h"
#include "platform/system/GuardedCall.h"

namespace stratovane {

namespace {

constexpr const char* kService = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";
constexpr const char* kInterface = "org.freedesktop.Notifications";
// Clicking a notice invokes the action named "default" on most servers.
constexpr const char* kDefaultAction = "default";
constexpr std::uint8_t kNormalUrgency = 1;
constexpr std::uint8_t kCriticalUrgency = 2;

}  // namespace

// One Notify call in flight; owned by the call's callback.
struct DBusNotifier::Pending {
  DBusNotifier* notifier;
  std::function<void(bool)> sent;
  std::function<void()> chosen;
};

DBusNotifier::DBusNotifier(GDBusConnection* bus)
    : bus_(bus != nullptr ? G_DBUS_CONNECTION(g_object_ref(bus)) : nullptr),
      cancellable_(g_cancellable_new()) {
  if (!bus_) return;
  actionSubscription_ = g_dbus_connection_signal_subscribe(
      bus_.get(), kService, kInterface, "ActionInvoked", kPath, nullptr, G_DBUS_SIGNAL_FLAGS_NONE,
      &DBusNotifier::onSignal, this, nullptr);
  closedSubscription_ = g_dbus_connection_signal_subscribe(
      bus_.get(), kService, kInterface, "NotificationClosed", kPath, nullptr,
      G_DBUS_SIGNAL_FLAGS_NONE, &DBusNotifier::onSignal, this, nullptr);
}

DBusNotifier::~DBusNotifier() {
  // Calls still out finish into a cancelled result that touches nothing here.
  g_cancellable_cancel(cancellable_.get());
  if (bus_) {
    g_dbus_connection_signal_unsubscribe(bus_.get(), actionSubscription_);
    g_dbus_connection_signal_unsubscribe(bus_.get(), closedSubscription_);
  }
}

void DBusNotifier::notify(const Notice& notice, std::function<void(bool)> sent,
                          std::function<void()> chosen) {
  if (!bus_) {
    if (sent) sent(false);
    return;
  }
  GVariantBuilder actions;
  g_variant_builder_init(&actions, G_VARIANT_TYPE("as"));
  g_variant_builder_add(&actions, "s", kDefaultAction);
  g_variant_builder_add(&actions, "s", tr("Details"));
  GVariantBuilder hints;
  g_variant_builder_init(&hints, G_VARIANT_TYPE("a{sv}"));
  g_variant_builder_add(&hints, "{sv}", "urgency",
                        g_variant_new_byte(notice.critical ? kCriticalUrgency : kNormalUrgency));
  g_variant_builder_add(&hints, "{sv}", "desktop-entry", g_variant_new_string("stratovane"));
  auto pending = std::make_unique<Pending>(Pending{this, std::move(sent), std::move(chosen)});
  g_dbus_connection_call(
      bus_.get(), kService, kPath, kInterface, "Notify",
      g_variant_new("(susssasa{sv}i)", "Stratovane", 0u,
                    notice.critical ? "dialog-warning" : "dialog-information",
                    notice.summary.c_str(), notice.body.c_str(), &actions, &hints, -1),
      G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, -1, cancellable_.get(),
      &DBusNotifier::onNotified, pending.release());
}

void DBusNotifier::onNotified(GObject* source, GAsyncResult* result, gpointer data) {
  const std::unique_ptr<Pending> pending(static_cast<Pending*>(data));
  GError* error = nullptr;
  GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error);
  if (reply == nullptr) {
    const bool cancelled = g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED);
    g_error_free(error);
    // Cancelled: the notifier is gone.
    if (!cancelled && pending->sent) callGuarded([&] { pending->sent(false); }, "notification");
    return;
  }
  guint32 id = 0;
  g_variant_get(reply, "(u)", &id);
  g_variant_unref(reply);
  if (pending->chosen) pending->notifier->shown_[id] = std::move(pending->chosen);
  if (pending->sent) callGuarded([&] { pending->sent(true); }, "notification");
}

void DBusNotifier::onSignal(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                            const gchar* signal, GVariant* parameters, gpointer data) {
  auto& shown = static_cast<DBusNotifier*>(data)->shown_;
  guint32 id = 0;
  if (g_strcmp0(signal, "NotificationClosed") == 0) {
    if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(uu)"))) return;
    g_variant_get(parameters, "(uu)", &id, nullptr);
    shown.erase(id);
    return;
  }
  const gchar* action = nullptr;
  if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(us)"))) return;
  g_variant_get(parameters, "(u&s)", &id, &action);
  const auto notice = shown.find(id);
  if (notice == shown.end()) return;
  // Servers invoke the default action on a click, others the one the user picked: both open it.
  const std::function<void()> chosen = notice->second;
  callGuarded(chosen, "notification action");
}

}  // namespace stratovane
