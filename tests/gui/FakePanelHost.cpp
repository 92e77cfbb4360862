// A panel on a bus: the watcher items register with, reading and clicking their menus.
#include "FakePanelHost.h"

#include <memory>
#include <utility>

#include "PrivateBus.h"

namespace stratovane::testing {

namespace {

constexpr const char* kWatcherXml = R"(<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg type="s" direction="in"/></method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
    <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
    <signal name="StatusNotifierHostRegistered"/>
  </interface>
</node>)";

struct VariantUnref {
  void operator()(GVariant* value) const { g_variant_unref(value); }
};
using VariantPtr = std::unique_ptr<GVariant, VariantUnref>;

struct NodeInfoUnref {
  void operator()(GDBusNodeInfo* info) const { g_dbus_node_info_unref(info); }
};

VariantPtr call(GDBusConnection* bus, const std::string& service, const std::string& path,
                const char* interface, const char* method, GVariant* arguments) {
  return VariantPtr(g_dbus_connection_call_sync(
      bus, service.c_str(), path.c_str(), interface, method, arguments, nullptr,
      G_DBUS_CALL_FLAGS_NO_AUTO_START, 5000, nullptr, nullptr));
}

VariantPtr property(GDBusConnection* bus, const std::string& service, const std::string& path,
                    const char* name) {
  VariantPtr reply = call(bus, service, path, "org.freedesktop.DBus.Properties", "Get",
                          g_variant_new("(ss)", "org.kde.StatusNotifierItem", name));
  if (!reply) return nullptr;
  GVariant* boxed = nullptr;
  g_variant_get(reply.get(), "(v)", &boxed);
  return VariantPtr(boxed);
}

void onMethodCall(GDBusConnection*, const gchar* sender, const gchar*, const gchar*,
                  const gchar* method, GVariant* parameters, GDBusMethodInvocation* invocation,
                  gpointer data) {
  auto& item = *static_cast<FakePanelHost::Item*>(data);
  if (g_strcmp0(method, "RegisterStatusNotifierItem") == 0) {
    const gchar* argument = nullptr;
    g_variant_get(parameters, "(&s)", &argument);
    // Items name either their object path (then the sender is the service) or their bus name.
    if (argument[0] == '/') {
      item = {sender, argument};
    } else {
      item = {argument, "/StatusNotifierItem"};
    }
  }
  g_dbus_method_invocation_return_value(invocation, nullptr);
}

GVariant* onGetProperty(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                        const gchar* name, GError**, gpointer) {
  if (g_strcmp0(name, "IsStatusNotifierHostRegistered") == 0) return g_variant_new_boolean(TRUE);
  if (g_strcmp0(name, "ProtocolVersion") == 0) return g_variant_new_int32(0);
  return g_variant_new_strv(nullptr, 0);
}

const GDBusInterfaceVTable kVTable = {onMethodCall, onGetProperty, nullptr, {}};

}  // namespace

FakePanelHost::FakePanelHost(Glib::RefPtr<Gio::DBus::Connection> bus) : bus_(std::move(bus)) {
  GDBusConnection* connection = bus_->gobj();
  const std::unique_ptr<GDBusNodeInfo, NodeInfoUnref> info(
      g_dbus_node_info_new_for_xml(kWatcherXml, nullptr));
  registration_ =
      g_dbus_connection_register_object(connection, "/StatusNotifierWatcher", info->interfaces[0],
                                        &kVTable, &item_, nullptr, nullptr);
  ownName(bus_, "org.kde.StatusNotifierWatcher");
}

FakePanelHost::~FakePanelHost() {
  g_dbus_connection_unregister_object(bus_->gobj(), registration_);
}

std::optional<std::string> FakePanelHost::stringProperty(const char* name) const {
  const VariantPtr value = property(bus_->gobj(), item_.service, item_.objectPath, name);
  if (!value || !g_variant_is_of_type(value.get(), G_VARIANT_TYPE_STRING)) return std::nullopt;
  return g_variant_get_string(value.get(), nullptr);
}

std::vector<FakePanelHost::Entry> FakePanelHost::menu() const {
  std::vector<Entry> entries;
  const VariantPtr path = property(bus_->gobj(), item_.service, item_.objectPath, "Menu");
  const VariantPtr reply =
      path ? call(bus_->gobj(), item_.service, g_variant_get_string(path.get(), nullptr),
                  "com.canonical.dbusmenu", "GetLayout", g_variant_new("(iias)", 0, 1, nullptr))
           : nullptr;
  if (!reply) return entries;
  GVariantIter* children = nullptr;
  g_variant_get(reply.get(), "(u(ia{sv}av))", nullptr, nullptr, nullptr, &children);
  GVariant* child = nullptr;
  while (g_variant_iter_loop(children, "v", &child)) {
    gint32 id = 0;
    GVariant* properties = nullptr;
    g_variant_get(child, "(i@a{sv}av)", &id, &properties, nullptr);
    const gchar* label = "";
    const gchar* type = "";
    gboolean enabled = TRUE;
    g_variant_lookup(properties, "label", "&s", &label);
    g_variant_lookup(properties, "type", "&s", &type);
    g_variant_lookup(properties, "enabled", "b", &enabled);
    entries.push_back({id, label, g_strcmp0(type, "separator") == 0, enabled != FALSE});
    g_variant_unref(properties);
  }
  g_variant_iter_free(children);
  return entries;
}

bool FakePanelHost::click(const std::string& label) const {
  const VariantPtr path = property(bus_->gobj(), item_.service, item_.objectPath, "Menu");
  if (!path) return false;
  for (const Entry& entry : menu()) {
    if (entry.separator || entry.label != label) continue;
    // The item may end at once (Quit): the reply is not waited for.
    g_dbus_connection_call(bus_->gobj(), item_.service.c_str(),
                           g_variant_get_string(path.get(), nullptr), "com.canonical.dbusmenu",
                           "Event",
                           g_variant_new("(isvu)", entry.id, "clicked", g_variant_new_int32(0),
                                         static_cast<guint32>(g_get_monotonic_time() / 1000)),
                           nullptr, G_DBUS_CALL_FLAGS_NO_AUTO_START, -1, nullptr, nullptr, nullptr);
    return true;
  }
  return false;
}

}  // namespace stratovane::testing
