// A notification server on a test's bus: records each notice, answers with its id and lets the
// test choose one.
#include "FakeNotificationServer.h"

#include <utility>

#include "PrivateBus.h"

namespace stratovane::testing {

namespace {

constexpr const char* kPath = "/org/freedesktop/Notifications";
constexpr const char* kInterface = "org.freedesktop.Notifications";
constexpr const char* kXml = R"(<node>
  <interface name="org.freedesktop.Notifications">
    <method name="Notify">
      <arg type="s" direction="in"/><arg type="u" direction="in"/><arg type="s" direction="in"/>
      <arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="as" direction="in"/>
      <arg type="a{sv}" direction="in"/><arg type="i" direction="in"/>
      <arg type="u" direction="out"/>
    </method>
    <method name="CloseNotification"><arg type="u" direction="in"/></method>
    <method name="GetCapabilities"><arg type="as" direction="out"/></method>
    <method name="GetServerInformation">
      <arg type="s" direction="out"/><arg type="s" direction="out"/>
      <arg type="s" direction="out"/><arg type="s" direction="out"/>
    </method>
  </interface>
</node>)";

}  // namespace

FakeNotificationServer::FakeNotificationServer(Glib::RefPtr<Gio::DBus::Connection> bus)
    : bus_(std::move(bus)) {
  static const GDBusInterfaceVTable vtable = {
      &FakeNotificationServer::onMethodCall, nullptr, nullptr, {}};
  GDBusNodeInfo* info = g_dbus_node_info_new_for_xml(kXml, nullptr);
  registration_ = g_dbus_connection_register_object(bus_->gobj(), kPath, info->interfaces[0],
                                                    &vtable, this, nullptr, nullptr);
  g_dbus_node_info_unref(info);  // the registration holds the interface
  ownName(bus_, "org.freedesktop.Notifications");
}

FakeNotificationServer::~FakeNotificationServer() {
  g_dbus_connection_unregister_object(bus_->gobj(), registration_);
}

std::vector<std::string> FakeNotificationServer::received() const {
  std::vector<std::string> texts;
  for (const Notice& notice : notices_) texts.push_back(notice.summary + "\n" + notice.body);
  return texts;
}

void FakeNotificationServer::invoke(std::uint32_t id, const std::string& action) const {
  bus_->emit_signal(
      kPath, kInterface, "ActionInvoked", "",
      Glib::VariantContainerBase::create_tuple(
          {Glib::Variant<guint32>::create(id), Glib::Variant<Glib::ustring>::create(action)}));
  bus_->flush_sync();
}

void FakeNotificationServer::onMethodCall(GDBusConnection*, const gchar*, const gchar*,
                                          const gchar*, const gchar* method, GVariant* parameters,
                                          GDBusMethodInvocation* invocation, gpointer data) {
  auto& self = *static_cast<FakeNotificationServer*>(data);
  if (g_strcmp0(method, "GetCapabilities") == 0) {
    const gchar* capabilities[] = {"actions", "body", nullptr};
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(^as)", capabilities));
    return;
  }
  if (g_strcmp0(method, "GetServerInformation") == 0) {
    g_dbus_method_invocation_return_value(invocation,
                                          g_variant_new("(ssss)", "fake", "test", "1", "1.2"));
    return;
  }
  if (g_strcmp0(method, "Notify") != 0) {
    g_dbus_method_invocation_return_value(invocation, nullptr);
    return;
  }
  Notice notice;
  notice.id = static_cast<std::uint32_t>(self.notices_.size() + 1);
  const gchar* summary = nullptr;
  const gchar* body = nullptr;
  GVariantIter* actions = nullptr;
  GVariant* hints = nullptr;
  g_variant_get(parameters, "(&su&s&s&sas@a{sv}i)", nullptr, nullptr, nullptr, &summary, &body,
                &actions, &hints, nullptr);
  notice.summary = summary;
  notice.body = body;
  const gchar* action = nullptr;
  while (g_variant_iter_loop(actions, "&s", &action)) notice.actions.emplace_back(action);
  g_variant_iter_free(actions);
  guchar urgency = 0;
  if (g_variant_lookup(hints, "urgency", "y", &urgency)) notice.urgency = urgency;
  g_variant_unref(hints);
  self.notices_.push_back(std::move(notice));
  g_dbus_method_invocation_return_value(invocation, g_variant_new("(u)", self.notices_.back().id));
}

}  // namespace stratovane::testing
