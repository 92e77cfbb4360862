// One message for the user through the desktop's notification server.
#include "platform/system/DesktopNotification.h"

namespace stratovane {

void sendDesktopNotification(GDBusConnection* bus, const std::string& summary,
                             const std::string& body) {
  if (bus == nullptr) return;
  // No actions, no hints, the server's own timeout.
  g_dbus_connection_call(bus, "org.freedesktop.Notifications", "/org/freedesktop/Notifications",
                         "org.freedesktop.Notifications", "Notify",
                         g_variant_new("(susssasa{sv}i)", "Stratovane", 0u, "dialog-information",
                                       summary.c_str(), body.c_str(), nullptr, nullptr, -1),
                         G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr,
                         nullptr);
}

}  // namespace stratovane
