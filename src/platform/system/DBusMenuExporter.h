// The status item's menu as a com.canonical.dbusmenu object, which panel hosts draw themselves.
#pragma once

#include <gio/gio.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Menu.h"
#include "platform/system/GSourcePtr.h"

namespace stratovane {

// One level of entries under the root (id 0). Every rebuild gives the entries new ids, so an
// event for an entry that has gone finds nothing instead of the entry now in its place.
class DBusMenuExporter {
 public:
  DBusMenuExporter(GDBusConnection* bus, std::string path);
  ~DBusMenuExporter();
  DBusMenuExporter(const DBusMenuExporter&) = delete;
  DBusMenuExporter& operator=(const DBusMenuExporter&) = delete;

  // The exported layout follows the menu's changes once per main-loop iteration, however many
  // there were, and tells the hosts with LayoutUpdated.
  void setMenu(std::shared_ptr<Menu> menu);
  std::shared_ptr<Menu> menu() const { return menu_; }

  const std::string& path() const { return path_; }
  std::uint32_t revision() const { return revision_; }

 private:
  struct Entry {
    std::int32_t id;
    MenuItem item;
  };

  static void onMethodCall(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                           const gchar* method, GVariant* parameters,
                           GDBusMethodInvocation* invocation, gpointer self);
  static GVariant* onGetProperty(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                                 const gchar* name, GError** error, gpointer self);
  void answer(const std::string& method, GVariant* parameters, GDBusMethodInvocation* invocation);
  void scheduleRebuild();
  void rebuild();
  const Entry* find(std::int32_t id) const;
  bool known(std::int32_t id) const { return id == 0 || find(id) != nullptr; }
  // The entry's properties, only those named in `names` when it has any.
  GVariant* properties(std::int32_t id, const std::vector<std::string>& names) const;
  GVariant* layout(std::int32_t id, std::int32_t depth,
                   const std::vector<std::string>& names) const;
  // Runs a "clicked" entry's action on a later main-loop iteration; false for an unknown id.
  bool handleEvent(std::int32_t id, const std::string& event);

  GDBusConnection* bus_;
  std::string path_;
  guint object_ = 0;
  std::shared_ptr<Menu> menu_;
  std::vector<Entry> entries_;
  std::int32_t lastId_ = 0;
  std::uint32_t revision_ = 0;
  AttachedSource pendingRebuild_;
};

}  // namespace stratovane
