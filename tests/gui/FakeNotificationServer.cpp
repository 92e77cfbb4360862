// A desktop notification server on a bus that records what it was asked to show.
#include "FakeNotificationServer.h"

#include <memory>
#include <stdexcept>
#include <utility>

namespace stratovane::testing {

namespace {

constexpr const char* kXml = R"(<node>
  <interface name="org.freedesktop.Notifications">
    <method name="Notify">
      <arg type="s" direction="in"/><arg type="u" direction="in"/><arg type="s" direction="in"/>
      <arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="as" direction="in"/>
      <arg type="a{sv}" direction="in"/><arg type="i" direction="in"/>
      <arg type="u" direction="out"/>
    </method>
  </interface>
</node>)";

void onMethodCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                  GVariant* parameters, GDBusMethodInvocation* invocation, gpointer data) {
  auto& notices = *static_cast<std::vector<FakeNotificationServer::Notice>*>(data);
  const gchar* appName = nullptr;
  const gchar* summary = nullptr;
  const gchar* body = nullptr;
  g_variant_get(parameters, "(&su&s&s&sasa{sv}i)", &appName, nullptr, nullptr, &summary, &body,
                nullptr, nullptr, nullptr);
  notices.push_back({appName, summary, body});
  g_dbus_method_invocation_return_value(invocation,
                                        g_variant_new("(u)", static_cast<guint32>(notices.size())));
}

const GDBusInterfaceVTable kVTable = {onMethodCall, nullptr, nullptr, {}};

}  // namespace

FakeNotificationServer::FakeNotificationServer(Glib::RefPtr<Gio::DBus::Connection> bus)
    : bus_(std::move(bus)) {
  const std::unique_ptr<GDBusNodeInfo, decltype(&g_dbus_node_info_unref)> info(
      g_dbus_node_info_new_for_xml(kXml, nullptr), &g_dbus_node_info_unref);
  registration_ =
      g_dbus_connection_register_object(bus_->gobj(), "/org/freedesktop/Notifications",
                                        info->interfaces[0], &kVTable, &notices_, nullptr, nullptr);
  GVariant* reply = g_dbus_connection_call_sync(
      bus_->gobj(), "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
      "RequestName", g_variant_new("(su)", "org.freedesktop.Notifications", 4u),
      G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, nullptr);
  guint32 result = 0;
  if (reply != nullptr) {
    g_variant_get(reply, "(u)", &result);
    g_variant_unref(reply);
  }
  if (result != 1) throw std::runtime_error("the notification server's name is taken");
}

FakeNotificationServer::~FakeNotificationServer() {
  g_dbus_connection_unregister_object(bus_->gobj(), registration_);
}

}  // namespace stratovane::testing
