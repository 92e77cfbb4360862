// One message for the user through the desktop's notification server.
#pragma once

#include <gio/gio.h>

#include <string>

namespace stratovane {

// Sends org.freedesktop.Notifications.Notify on `bus` and does not wait for the answer; without a
// bus or a notification server nothing is shown and nothing is reported.
void sendDesktopNotification(GDBusConnection* bus, const std::string& summary,
                             const std::string& body);

}  // namespace stratovane
