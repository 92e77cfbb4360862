// One message for the user through the desktop's notification server.
#pragma once

#include <giomm/dbusconnection.h>

#include <string>

namespace stratovane::gtk {

// Sends org.freedesktop.Notifications.Notify on `bus` and does not wait for the answer; without a
// notification server nothing is shown and nothing is reported.
void sendDesktopNotification(const Glib::RefPtr<Gio::DBus::Connection>& bus,
                             const std::string& summary, const std::string& body);

}  // namespace stratovane::gtk
