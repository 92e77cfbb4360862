// The panel item as a StatusNotifierItem object on D-Bus, registered with the panel's watcher.
#include "platform/system/StatusNotifierItem.h"

#include <cstdio>
#include <utility>

#include "platform/Translation.h"

namespace stratovane {

namespace {

constexpr const char* kInterface = "org.kde.StatusNotifierItem";

// The item's interface, with the label that the indicator hosts read.
constexpr const char* kIntrospection = R"xml(<node>
  <interface name="org.kde.StatusNotifierItem">
    <property name="Category" type="s" access="read"/>
    <property name="Id" type="s" access="read"/>
    <property name="Title" type="s" access="read"/>
    <property name="Status" type="s" access="read"/>
    <property name="WindowId" type="i" access="read"/>
    <property name="IconName" type="s" access="read"/>
    <property name="IconThemePath" type="s" access="read"/>
    <property name="IconPixmap" type="a(iiay)" access="read"/>
    <property name="OverlayIconName" type="s" access="read"/>
    <property name="AttentionIconName" type="s" access="read"/>
    <property name="ToolTip" type="(sa(iiay)ss)" access="read"/>
    <property name="Menu" type="o" access="read"/>
    <property name="ItemIsMenu" type="b" access="read"/>
    <property name="XAyatanaLabel" type="s" access="read"/>
    <property name="XAyatanaLabelGuide" type="s" access="read"/>
    <property name="XAyatanaOrderingIndex" type="u" access="read"/>
    <method name="ContextMenu"><arg name="x" type="i"/><arg name="y" type="i"/></method>
    <method name="Activate"><arg name="x" type="i"/><arg name="y" type="i"/></method>
    <method name="SecondaryActivate"><arg name="x" type="i"/><arg name="y" type="i"/></method>
    <method name="Scroll"><arg name="delta" type="i"/><arg name="orientation" type="s"/></method>
    <signal name="NewTitle"/>
    <signal name="NewIcon"/>
    <signal name="NewAttentionIcon"/>
    <signal name="NewOverlayIcon"/>
    <signal name="NewToolTip"/>
    <signal name="NewStatus"><arg name="status" type="s"/></signal>
    <signal name="NewIconThemePath"><arg name="icon_theme_path" type="s"/></signal>
    <signal name="XAyatanaNewLabel"><arg name="label" type="s"/><arg name="guide" type="s"/></signal>
  </interface>
</node>)xml";

// D-Bus strings are UTF-8; a broken byte in a title must not cost the whole title.
std::string validText(const std::string& text) {
  gchar* valid = g_utf8_make_valid(text.c_str(), static_cast<gssize>(text.size()));
  std::string result(valid);
  g_free(valid);
  return result;
}

GDBusInterfaceInfo* interfaceInfo() {
  // Parsed once and kept: its text is a constant.
  static GDBusNodeInfo* const node = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
  return node->interfaces[0];
}

}  // namespace

StatusNotifierItem::StatusNotifierItem(GDBusConnection* bus, std::string path, std::string id,
                                       std::string menuPath)
    : bus_(G_DBUS_CONNECTION(g_object_ref(bus))),
      path_(std::move(path)),
      id_(std::move(id)),
      menuPath_(std::move(menuPath)) {
  static const GDBusInterfaceVTable vtable = {
      &StatusNotifierItem::onMethodCall, &StatusNotifierItem::onGetProperty, nullptr, {}};
  GError* error = nullptr;
  object_ = g_dbus_connection_register_object(bus_, path_.c_str(), interfaceInfo(), &vtable, this,
                                              nullptr, &error);
  if (object_ == 0) {
    std::fprintf(stderr, tr("stratovane: cannot show the panel item: %s\n"), error->message);
    g_error_free(error);
    return;
  }
  watch_ = g_bus_watch_name_on_connection(bus_, kWatcher, G_BUS_NAME_WATCHER_FLAGS_NONE,
                                          &StatusNotifierItem::onWatcherAppeared, nullptr, this,
                                          nullptr);
}

StatusNotifierItem::~StatusNotifierItem() {
  if (registering_ != nullptr) {
    g_cancellable_cancel(registering_);
    g_object_unref(registering_);
  }
  if (watch_ != 0) g_bus_unwatch_name(watch_);
  if (object_ != 0) g_dbus_connection_unregister_object(bus_, object_);
  g_object_unref(bus_);
}

void StatusNotifierItem::onWatcherAppeared(GDBusConnection*, const gchar*, const gchar* owner,
                                           gpointer data) {
  auto* self = static_cast<StatusNotifierItem*>(data);
  // A registration with the previous owner is of no use any more; one that never answers is
  // dropped here too.
  if (self->registering_ != nullptr) {
    g_cancellable_cancel(self->registering_);
    g_object_unref(self->registering_);
  }
  self->registering_ = g_cancellable_new();
  // Addressed to the owner that appeared: its successor gets a registration of its own.
  g_dbus_connection_call(self->bus_, owner, "/StatusNotifierWatcher", kWatcher,
                         "RegisterStatusNotifierItem", g_variant_new("(s)", self->path_.c_str()),
                         nullptr, G_DBUS_CALL_FLAGS_NO_AUTO_START, -1, self->registering_,
                         &StatusNotifierItem::onRegistered, self);
}

void StatusNotifierItem::onRegistered(GObject* bus, GAsyncResult* result, gpointer data) {
  GError* error = nullptr;
  GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(bus), result, &error);
  if (reply != nullptr) {
    g_variant_unref(reply);
    ++static_cast<StatusNotifierItem*>(data)->registrations_;
    return;
  }
  // Cancelled: the item may be gone. Otherwise the next owner of the watcher gets another try.
  if (!g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED))
    std::fprintf(stderr, tr("stratovane: the panel did not take the item: %s\n"), error->message);
  g_error_free(error);
}

void StatusNotifierItem::onMethodCall(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                                      const gchar*, GVariant*, GDBusMethodInvocation* invocation,
                                      gpointer) {
  // The menu is the item: hosts open it themselves, so clicks and scrolls have nothing to do,
  // whatever their arguments.
  g_dbus_method_invocation_return_value(invocation, nullptr);
}

GVariant* StatusNotifierItem::onGetProperty(GDBusConnection*, const gchar*, const gchar*,
                                            const gchar*, const gchar* name, GError** error,
                                            gpointer self) {
  GVariant* value = static_cast<const StatusNotifierItem*>(self)->property(name);
  if (value == nullptr)
    g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_PROPERTY, "no property %s", name);
  return value;
}

GVariant* StatusNotifierItem::property(const gchar* name) const {
  const std::string_view property = name;
  if (property == "Category") return g_variant_new_string("ApplicationStatus");
  if (property == "Id") return g_variant_new_string(id_.c_str());
  if (property == "Title") return g_variant_new_string(title_.c_str());
  if (property == "Status") return g_variant_new_string("Active");
  if (property == "WindowId") return g_variant_new_int32(0);
  if (property == "IconName") return g_variant_new_string(icon_.c_str());
  if (property == "IconThemePath") return g_variant_new_string(iconThemePath_.c_str());
  // Hosts take the icon by name or file; no pixels are sent.
  if (property == "IconPixmap") return g_variant_new_array(G_VARIANT_TYPE("(iiay)"), nullptr, 0);
  if (property == "OverlayIconName" || property == "AttentionIconName")
    return g_variant_new_string("");
  if (property == "ToolTip") {
    return g_variant_new("(s@a(iiay)ss)", "",
                         g_variant_new_array(G_VARIANT_TYPE("(iiay)"), nullptr, 0), title_.c_str(),
                         "");
  }
  if (property == "Menu") return g_variant_new_object_path(menuPath_.c_str());
  if (property == "ItemIsMenu") return g_variant_new_boolean(TRUE);
  if (property == "XAyatanaLabel") return g_variant_new_string(label_.c_str());
  if (property == "XAyatanaLabelGuide") return g_variant_new_string("");
  if (property == "XAyatanaOrderingIndex") return g_variant_new_uint32(0);
  return nullptr;
}

void StatusNotifierItem::emit(const char* signal, GVariant* parameters) const {
  // Broadcast: hosts subscribe by path and interface, and a second host sees the same changes.
  g_dbus_connection_emit_signal(bus_, nullptr, path_.c_str(), kInterface, signal, parameters,
                                nullptr);
}

void StatusNotifierItem::setTitle(const std::string& text) {
  const std::string title = validText(text);
  if (title == title_) return;
  title_ = title;
  emit("NewTitle", nullptr);
  emit("NewToolTip", nullptr);
}

void StatusNotifierItem::setIcon(const std::string& text) {
  const std::string icon = validText(text);
  if (icon == icon_) return;
  icon_ = icon;
  emit("NewIcon", nullptr);
}

void StatusNotifierItem::setIconThemePath(const std::string& text) {
  const std::string folder = validText(text);
  if (folder == iconThemePath_) return;
  iconThemePath_ = folder;
  emit("NewIconThemePath", g_variant_new("(s)", folder.c_str()));
}

void StatusNotifierItem::setLabel(const std::string& text) {
  const std::string label = validText(text);
  if (label == label_) return;
  label_ = label;
  emit("XAyatanaNewLabel", g_variant_new("(ss)", label.c_str(), ""));
}

}  // namespace stratovane
