// A D-Bus daemon of the test's own that activates no services, so only the test answers on it, and
// a fake panel on it.
#include "PrivateBus.h"

#include <giomm/init.h>

#include <fstream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <utility>

namespace stratovane::testing {

PrivateBus::PrivateBus() {
  Gio::init();  // may come before anything else of gtkmm in a test
  std::ofstream(folder_ / "bus.conf")
      << "<busconfig><type>session</type><listen>unix:dir=" << folder_.path().string()
      << "</listen><policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
         "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n";
  daemon_ = std::make_unique<ChildProcess>(
      std::vector<std::string>{"dbus-daemon", "--nofork", "--print-address=1",
                               "--config-file=" + (folder_ / "bus.conf").string()},
      std::map<std::string, std::string>{});
  const std::optional<std::string> address = daemon_->readLine(std::chrono::seconds(10));
  if (!address) throw std::runtime_error("dbus-daemon did not start: " + daemon_->readErrors());
  address_ = *address;
  connection_ = connect();
}

Glib::RefPtr<Gio::DBus::Connection> PrivateBus::connect() const {
  return Gio::DBus::Connection::create_for_address_sync(
      address_, Gio::DBus::CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                    Gio::DBus::CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION);
}

PrivateBus::~PrivateBus() {
  try {
    connection_->close_sync();
  } catch (const Glib::Error&) {
  }
  connection_.reset();
  daemon_.reset();  // ends and reaps the daemon, before its folder goes
}

void ownName(const Glib::RefPtr<Gio::DBus::Connection>& bus, const std::string& name) {
  Glib::Variant<guint32> reply;
  bus->call_sync(
         "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
         Glib::VariantContainerBase::create_tuple(
             {Glib::Variant<Glib::ustring>::create(name), Glib::Variant<guint32>::create(4)}),
         "org.freedesktop.DBus")
      .get_child(reply, 0);
  if (reply.get() != 1) throw std::runtime_error(name + " is taken");
}

namespace {

constexpr const char* kWatcherXml = R"(<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg type="s" direction="in"/></method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
  </interface>
</node>)";

struct VariantUnref {
  void operator()(GVariant* value) const { g_variant_unref(value); }
};
using VariantPtr = std::unique_ptr<GVariant, VariantUnref>;

struct Reply {
  GVariant* value = nullptr;
  GError* error = nullptr;
  bool done = false;
};

// Waits for the answer with the default main context turning: the item may live in this very
// process and answer from it.
VariantPtr call(GDBusConnection* bus, const std::string& service, const std::string& path,
                const char* interface, const char* method, GVariant* arguments,
                std::string* error = nullptr) {
  if (!g_dbus_is_name(service.c_str())) {
    // No item has registered yet.
    if (arguments != nullptr) g_variant_unref(g_variant_ref_sink(arguments));
    if (error != nullptr) *error = "no item";
    return nullptr;
  }
  Reply reply;
  g_dbus_connection_call(
      bus, service.c_str(), path.c_str(), interface, method, arguments, nullptr,
      G_DBUS_CALL_FLAGS_NO_AUTO_START, 5000, nullptr,
      [](GObject* source, GAsyncResult* result, gpointer data) {
        auto* reply = static_cast<Reply*>(data);
        reply->value =
            g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &reply->error);
        reply->done = true;
      },
      &reply);
  while (!reply.done) g_main_context_iteration(nullptr, TRUE);
  if (reply.error != nullptr) {
    if (error != nullptr) *error = reply.error->message;
    g_error_free(reply.error);
  }
  return VariantPtr(reply.value);
}

}  // namespace

void FakePanelHost::onMethodCall(GDBusConnection*, const gchar* sender, const gchar*, const gchar*,
                                 const gchar* method, GVariant* parameters,
                                 GDBusMethodInvocation* invocation, gpointer data) {
  auto& host = *static_cast<FakePanelHost*>(data);
  auto& item = host.item_;
  if (g_strcmp0(method, "RegisterStatusNotifierItem") == 0) {
    ++host.registrations_;
    const gchar* argument = nullptr;
    g_variant_get(parameters, "(&s)", &argument);
    // Items name either their object path (then the sender is the service) or their bus name.
    item = argument[0] == '/'
               ? std::pair<std::string, std::string>{sender, argument}
               : std::pair<std::string, std::string>{argument, "/StatusNotifierItem"};
  }
  g_dbus_method_invocation_return_value(invocation, nullptr);
}

namespace {

GVariant* onGetProperty(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                        const gchar* name, GError**, gpointer) {
  if (g_strcmp0(name, "IsStatusNotifierHostRegistered") == 0) return g_variant_new_boolean(TRUE);
  if (g_strcmp0(name, "ProtocolVersion") == 0) return g_variant_new_int32(0);
  return g_variant_new_strv(nullptr, 0);
}

const GDBusInterfaceVTable kVTable = {FakePanelHost::onMethodCall, onGetProperty, nullptr, {}};

}  // namespace

FakePanelHost::FakePanelHost(Glib::RefPtr<Gio::DBus::Connection> bus) : bus_(std::move(bus)) {
  GDBusNodeInfo* info = g_dbus_node_info_new_for_xml(kWatcherXml, nullptr);
  registration_ =
      g_dbus_connection_register_object(bus_->gobj(), "/StatusNotifierWatcher", info->interfaces[0],
                                        &kVTable, this, nullptr, nullptr);
  g_dbus_node_info_unref(info);  // the registration holds the interface
  ownName(bus_, "org.kde.StatusNotifierWatcher");
}

FakePanelHost::~FakePanelHost() {
  g_dbus_connection_unregister_object(bus_->gobj(), registration_);
}

GVariant* FakePanelHost::propertyValue(const char* name, std::string* error) const {
  const VariantPtr reply =
      call(bus_->gobj(), item_.first, item_.second, "org.freedesktop.DBus.Properties", "Get",
           g_variant_new("(ss)", "org.kde.StatusNotifierItem", name), error);
  GVariant* value = nullptr;
  if (reply) g_variant_get(reply.get(), "(v)", &value);
  return value;
}

std::optional<std::string> FakePanelHost::property(const char* name) const {
  const VariantPtr value(propertyValue(name));
  // A string, or the object path of the menu.
  if (!value || (!g_variant_is_of_type(value.get(), G_VARIANT_TYPE_STRING) &&
                 !g_variant_is_of_type(value.get(), G_VARIANT_TYPE_OBJECT_PATH)))
    return std::nullopt;
  return g_variant_get_string(value.get(), nullptr);
}

std::string printed(GVariant* value) {
  gchar* text = g_variant_print(value, FALSE);
  std::string printed(text);
  g_free(text);
  return printed;
}

std::string callPrinted(const Glib::RefPtr<Gio::DBus::Connection>& bus, const std::string& service,
                        const std::string& path, const char* interface, const char* method,
                        GVariant* arguments) {
  std::string error;
  const VariantPtr reply = call(bus->gobj(), service, path, interface, method, arguments, &error);
  return reply ? printed(reply.get()) : "error: " + error;
}

std::string FakePanelHost::printedProperty(const char* name) const {
  std::string error;
  const VariantPtr value(propertyValue(name, &error));
  return value ? printed(value.get()) : "error: " + error;
}

std::string FakePanelHost::callItem(const char* method, GVariant* arguments) const {
  return callPrinted(bus_, item_.first, item_.second, "org.kde.StatusNotifierItem", method,
                     arguments);
}

std::string FakePanelHost::callMenu(const char* method, GVariant* arguments) const {
  // With no menu the call goes nowhere and fails.
  return callPrinted(bus_, item_.first, property("Menu").value_or("/"), "com.canonical.dbusmenu",
                     method, arguments);
}

std::vector<std::pair<int, std::string>> FakePanelHost::entries() const {
  std::vector<std::pair<int, std::string>> entries;
  const VariantPtr reply =
      call(bus_->gobj(), item_.first, property("Menu").value_or("/"), "com.canonical.dbusmenu",
           "GetLayout", g_variant_new("(iias)", 0, 1, nullptr));
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
    entries.emplace_back(id, g_strcmp0(type, "separator") == 0 ? "---"
                             : enabled                         ? label
                                                               : "(off)" + std::string(label));
    g_variant_unref(properties);
  }
  g_variant_iter_free(children);
  return entries;
}

std::vector<std::string> FakePanelHost::menu() const {
  std::vector<std::string> texts;
  for (const auto& entry : entries()) texts.push_back(entry.second);
  return texts;
}

bool FakePanelHost::click(const std::string& label) const {
  for (const auto& [id, text] : entries()) {
    if (text != label) continue;
    // The item may end at once (Quit): the reply is not waited for.
    g_dbus_connection_call(bus_->gobj(), item_.first.c_str(),
                           property("Menu").value_or("/").c_str(), "com.canonical.dbusmenu",
                           "Event",
                           g_variant_new("(isvu)", id, "clicked", g_variant_new_int32(0),
                                         static_cast<guint32>(g_get_monotonic_time() / 1000)),
                           nullptr, G_DBUS_CALL_FLAGS_NO_AUTO_START, -1, nullptr, nullptr, nullptr);
    return true;
  }
  return false;
}

}  // namespace stratovane::testing
