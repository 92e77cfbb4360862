// The status item's menu as a com.canonical.dbusmenu object, which panel hosts draw themselves.
#include "platform/system/DBusMenuExporter.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "platform/Translation.h"
#include "platform/system/GuardedCall.h"

namespace stratovane {

namespace {

constexpr const char* kInterface = "com.canonical.dbusmenu";

constexpr const char* kIntrospection = R"xml(<node>
  <interface name="com.canonical.dbusmenu">
    <property name="Version" type="u" access="read"/>
    <property name="TextDirection" type="s" access="read"/>
    <property name="Status" type="s" access="read"/>
    <property name="IconThemePath" type="as" access="read"/>
    <method name="GetLayout">
      <arg type="i" name="parentId" direction="in"/>
      <arg type="i" name="recursionDepth" direction="in"/>
      <arg type="as" name="propertyNames" direction="in"/>
      <arg type="u" name="revision" direction="out"/>
      <arg type="(ia{sv}av)" name="layout" direction="out"/>
    </method>
    <method name="GetGroupProperties">
      <arg type="ai" name="ids" direction="in"/>
      <arg type="as" name="propertyNames" direction="in"/>
      <arg type="a(ia{sv})" name="properties" direction="out"/>
    </method>
    <method name="GetProperty">
      <arg type="i" name="id" direction="in"/>
      <arg type="s" name="name" direction="in"/>
      <arg type="v" name="value" direction="out"/>
    </method>
    <method name="Event">
      <arg type="i" name="id" direction="in"/>
      <arg type="s" name="eventId" direction="in"/>
      <arg type="v" name="data" direction="in"/>
      <arg type="u" name="timestamp" direction="in"/>
    </method>
    <method name="EventGroup">
      <arg type="a(isvu)" name="events" direction="in"/>
      <arg type="ai" name="idErrors" direction="out"/>
    </method>
    <method name="AboutToShow">
      <arg type="i" name="id" direction="in"/>
      <arg type="b" name="needUpdate" direction="out"/>
    </method>
    <method name="AboutToShowGroup">
      <arg type="ai" name="ids" direction="in"/>
      <arg type="ai" name="updatesNeeded" direction="out"/>
      <arg type="ai" name="idErrors" direction="out"/>
    </method>
    <signal name="ItemsPropertiesUpdated">
      <arg type="a(ia{sv})" name="updatedProps"/>
      <arg type="a(ias)" name="removedProps"/>
    </signal>
    <signal name="LayoutUpdated">
      <arg type="u" name="revision"/>
      <arg type="i" name="parent"/>
    </signal>
    <signal name="ItemActivationRequested">
      <arg type="i" name="id"/>
      <arg type="u" name="timestamp"/>
    </signal>
  </interface>
</node>)xml";

GDBusInterfaceInfo* interfaceInfo() {
  // Parsed once and kept: its text is a constant.
  static GDBusNodeInfo* const node = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
  return node->interfaces[0];
}

// A label's underscores are mnemonics to the host; doubled, they are shown as they are.
std::string escapedLabel(const std::string& title) {
  gchar* valid = g_utf8_make_valid(title.c_str(), static_cast<gssize>(title.size()));
  std::string label;
  for (const gchar* c = valid; *c != '\0'; ++c) {
    if (*c == '_') label += '_';
    label += *c;
  }
  g_free(valid);
  return label;
}

std::vector<std::string> strings(GVariant* array) {
  std::vector<std::string> result;
  GVariantIter iter;
  g_variant_iter_init(&iter, array);
  const gchar* text = nullptr;
  while (g_variant_iter_next(&iter, "&s", &text)) result.emplace_back(text);
  return result;
}

std::vector<std::int32_t> ids(GVariant* array) {
  std::vector<std::int32_t> result;
  GVariantIter iter;
  g_variant_iter_init(&iter, array);
  gint32 id = 0;
  while (g_variant_iter_next(&iter, "i", &id)) result.push_back(id);
  return result;
}

GVariant* idArray(const std::vector<std::int32_t>& values) {
  return g_variant_new_fixed_array(G_VARIANT_TYPE_INT32, values.data(), values.size(),
                                   sizeof(std::int32_t));
}

void returnUnknown(GDBusMethodInvocation* invocation, std::int32_t id) {
  g_dbus_method_invocation_return_error(invocation, G_DBUS_ERROR, G_DBUS_ERROR_INVALID_ARGS,
                                        "no menu entry with id %d", id);
}

}  // namespace

DBusMenuExporter::DBusMenuExporter(GDBusConnection* bus, std::string path)
    : bus_(G_DBUS_CONNECTION(g_object_ref(bus))), path_(std::move(path)) {
  static const GDBusInterfaceVTable vtable = {
      &DBusMenuExporter::onMethodCall, &DBusMenuExporter::onGetProperty, nullptr, {}};
  GError* error = nullptr;
  object_ = g_dbus_connection_register_object(bus_, path_.c_str(), interfaceInfo(), &vtable, this,
                                              nullptr, &error);
  if (object_ == 0) {
    std::fprintf(stderr, tr("stratovane: cannot show the panel menu: %s\n"), error->message);
    g_error_free(error);
  }
}

DBusMenuExporter::~DBusMenuExporter() {
  if (menu_) menu_->setOnChange({});
  if (object_ != 0) g_dbus_connection_unregister_object(bus_, object_);
  g_object_unref(bus_);
}

void DBusMenuExporter::setMenu(std::shared_ptr<Menu> menu) {
  if (menu_) menu_->setOnChange({});
  menu_ = std::move(menu);
  if (menu_) menu_->setOnChange([this] { scheduleRebuild(); });
  scheduleRebuild();
}

void DBusMenuExporter::scheduleRebuild() {
  // The application adds a score of entries in a burst; each layout is fetched again by hosts.
  if (pendingRebuild_) return;
  pendingRebuild_ = attachSource(
      g_idle_source_new(),
      [](gpointer self) -> gboolean {
        auto* exporter = static_cast<DBusMenuExporter*>(self);
        exporter->pendingRebuild_.reset();
        callGuarded([exporter] { exporter->rebuild(); }, "the panel menu");
        return G_SOURCE_REMOVE;
      },
      this);
}

void DBusMenuExporter::rebuild() {
  entries_.clear();
  if (menu_) {
    for (const MenuItem& item : menu_->items()) entries_.push_back({++lastId_, item});
  }
  ++revision_;
  g_dbus_connection_emit_signal(bus_, nullptr, path_.c_str(), kInterface, "LayoutUpdated",
                                g_variant_new("(ui)", revision_, 0), nullptr);
}

const DBusMenuExporter::Entry* DBusMenuExporter::find(std::int32_t id) const {
  const auto found = std::find_if(entries_.begin(), entries_.end(),
                                  [id](const Entry& entry) { return entry.id == id; });
  return found != entries_.end() ? &*found : nullptr;
}

GVariant* DBusMenuExporter::properties(std::int32_t id,
                                       const std::vector<std::string>& names) const {
  GVariantBuilder builder;
  g_variant_builder_init(&builder, G_VARIANT_TYPE_VARDICT);
  const auto add = [&](const char* name, GVariant* value) {
    if (names.empty() || std::find(names.begin(), names.end(), name) != names.end())
      g_variant_builder_add(&builder, "{sv}", name, value);
    else
      g_variant_unref(g_variant_ref_sink(value));
  };
  if (id == 0) {
    add("children-display", g_variant_new_string("submenu"));
  } else if (const Entry* entry = find(id)) {
    if (entry->item.separator) {
      add("type", g_variant_new_string("separator"));
    } else {
      add("label", g_variant_new_string(escapedLabel(entry->item.title).c_str()));
      add("enabled", g_variant_new_boolean(entry->item.enabled));
    }
  }
  return g_variant_builder_end(&builder);
}

GVariant* DBusMenuExporter::layout(std::int32_t id, std::int32_t depth,
                                   const std::vector<std::string>& names) const {
  GVariantBuilder children;
  g_variant_builder_init(&children, G_VARIANT_TYPE("av"));
  // Entries have no children; the root's are included unless the host asks for none.
  if (id == 0 && depth != 0) {
    for (const Entry& entry : entries_)
      g_variant_builder_add(&children, "v", layout(entry.id, 0, names));
  }
  return g_variant_new("(i@a{sv}av)", id, properties(id, names), &children);
}

bool DBusMenuExporter::handleEvent(std::int32_t id, const std::string& event) {
  const Entry* entry = find(id);
  if (entry == nullptr) return id == 0;
  if (event != "clicked" || !entry->item.enabled || !entry->item.action) return true;
  // Later: the action may rebuild this very menu, and the host waits for the answer.
  auto action = std::make_unique<std::function<void()>>(entry->item.action);
  g_idle_add_full(
      G_PRIORITY_DEFAULT_IDLE,
      [](gpointer job) -> gboolean {
        callGuarded(*static_cast<std::function<void()>*>(job), "a menu entry");
        return G_SOURCE_REMOVE;
      },
      action.release(),
      [](gpointer job) {
        std::unique_ptr<std::function<void()>>(static_cast<std::function<void()>*>(job));
      });
  return true;
}

void DBusMenuExporter::onMethodCall(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                                    const gchar* method, GVariant* parameters,
                                    GDBusMethodInvocation* invocation, gpointer self) {
  auto* exporter = static_cast<DBusMenuExporter*>(self);
  bool answered = false;
  callGuarded(
      [&] {
        exporter->answer(method, parameters, invocation);
        answered = true;
      },
      "the panel menu");
  if (!answered) {
    g_dbus_method_invocation_return_error(invocation, G_DBUS_ERROR, G_DBUS_ERROR_FAILED,
                                          "the menu could not answer");
  }
}

void DBusMenuExporter::answer(const std::string& method, GVariant* parameters,
                              GDBusMethodInvocation* invocation) {
  // GDBus has checked the arguments' types against the interface; their values are the host's.
  if (method == "GetLayout") {
    gint32 parent = 0, depth = 0;
    GVariant* names = nullptr;
    g_variant_get(parameters, "(ii@as)", &parent, &depth, &names);
    const std::vector<std::string> wanted = strings(names);
    g_variant_unref(names);
    if (!known(parent)) return returnUnknown(invocation, parent);
    g_dbus_method_invocation_return_value(
        invocation, g_variant_new("(u@(ia{sv}av))", revision_, layout(parent, depth, wanted)));
  } else if (method == "GetGroupProperties") {
    GVariant* idList = nullptr;
    GVariant* names = nullptr;
    g_variant_get(parameters, "(@ai@as)", &idList, &names);
    std::vector<std::int32_t> asked = ids(idList);
    const std::vector<std::string> wanted = strings(names);
    g_variant_unref(idList);
    g_variant_unref(names);
    // None named: all of them.
    if (asked.empty()) {
      asked.push_back(0);
      for (const Entry& entry : entries_) asked.push_back(entry.id);
    }
    GVariantBuilder result;
    g_variant_builder_init(&result, G_VARIANT_TYPE("a(ia{sv})"));
    for (const std::int32_t id : asked) {
      if (known(id)) g_variant_builder_add(&result, "(i@a{sv})", id, properties(id, wanted));
    }
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(a(ia{sv}))", &result));
  } else if (method == "GetProperty") {
    gint32 id = 0;
    const gchar* name = nullptr;
    g_variant_get(parameters, "(i&s)", &id, &name);
    GVariant* all = known(id) ? properties(id, {name}) : nullptr;
    GVariant* value = all != nullptr ? g_variant_lookup_value(all, name, nullptr) : nullptr;
    if (all != nullptr) g_variant_unref(g_variant_ref_sink(all));
    if (value == nullptr) {
      g_dbus_method_invocation_return_error(invocation, G_DBUS_ERROR, G_DBUS_ERROR_INVALID_ARGS,
                                            "no property %s for id %d", name, id);
      return;
    }
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(v)", value));
    g_variant_unref(value);
  } else if (method == "Event") {
    gint32 id = 0;
    const gchar* event = nullptr;
    g_variant_get(parameters, "(i&svu)", &id, &event, nullptr, nullptr);
    if (!handleEvent(id, event)) return returnUnknown(invocation, id);
    g_dbus_method_invocation_return_value(invocation, nullptr);
  } else if (method == "EventGroup") {
    std::vector<std::int32_t> errors;
    GVariantIter* events = nullptr;
    g_variant_get(parameters, "(a(isvu))", &events);
    gint32 id = 0;
    const gchar* event = nullptr;
    while (g_variant_iter_next(events, "(i&svu)", &id, &event, nullptr, nullptr)) {
      if (!handleEvent(id, event)) errors.push_back(id);
    }
    g_variant_iter_free(events);
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(@ai)", idArray(errors)));
  } else if (method == "AboutToShow") {
    gint32 id = 0;
    g_variant_get(parameters, "(i)", &id);
    if (!known(id)) return returnUnknown(invocation, id);
    // The layout is always current: nothing to fetch before showing.
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(b)", FALSE));
  } else if (method == "AboutToShowGroup") {
    GVariant* idList = nullptr;
    g_variant_get(parameters, "(@ai)", &idList);
    std::vector<std::int32_t> errors;
    for (const std::int32_t id : ids(idList)) {
      if (!known(id)) errors.push_back(id);
    }
    g_variant_unref(idList);
    g_dbus_method_invocation_return_value(invocation,
                                          g_variant_new("(@ai@ai)", idArray({}), idArray(errors)));
  } else {
    g_dbus_method_invocation_return_error(invocation, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_METHOD,
                                          "no method %s", method.c_str());
  }
}

GVariant* DBusMenuExporter::onGetProperty(GDBusConnection*, const gchar*, const gchar*,
                                          const gchar*, const gchar* name, GError** error,
                                          gpointer) {
  const std::string_view property = name;
  if (property == "Version") return g_variant_new_uint32(3);
  if (property == "TextDirection") return g_variant_new_string("ltr");
  if (property == "Status") return g_variant_new_string("normal");
  if (property == "IconThemePath") return g_variant_new_strv(nullptr, 0);
  g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_PROPERTY, "no property %s", name);
  return nullptr;
}

}  // namespace stratovane
