// The panel item as a StatusNotifierItem object on D-Bus, registered with the panel's watcher.
#pragma once

#include <gio/gio.h>

#include <string>

namespace stratovane {

// Drawn by the panel host: an icon, a label for hosts that show labels (GNOME's extension, the
// indicator service), and a title that hosts without labels show as a tooltip. The menu is
// another object, named by `menuPath`, that hosts open on a click.
class StatusNotifierItem {
 public:
  static constexpr const char* kWatcher = "org.kde.StatusNotifierWatcher";

  // Exports the item at `path` on `bus` and registers it with the watcher whenever one appears
  // or its owner changes, so a restarted panel shows it again.
  StatusNotifierItem(GDBusConnection* bus, std::string path, std::string id, std::string menuPath);
  ~StatusNotifierItem();
  StatusNotifierItem(const StatusNotifierItem&) = delete;
  StatusNotifierItem& operator=(const StatusNotifierItem&) = delete;

  // Each change is signalled to the hosts; setting what is already shown sends nothing.
  void setTitle(const std::string& title);  // the tooltip too
  void setIcon(const std::string& icon);    // a name in the theme folder, or a file's full path
  void setIconThemePath(const std::string& folder);
  void setLabel(const std::string& label);

  const std::string& path() const { return path_; }
  const std::string& title() const { return title_; }
  const std::string& icon() const { return icon_; }
  const std::string& label() const { return label_; }
  // How many times the item was registered with a watcher; for tests.
  int registrations() const { return registrations_; }

 private:
  static void onWatcherAppeared(GDBusConnection*, const gchar*, const gchar* owner, gpointer self);
  static void onRegistered(GObject* bus, GAsyncResult* result, gpointer self);
  static void onMethodCall(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                           const gchar* method, GVariant* parameters,
                           GDBusMethodInvocation* invocation, gpointer self);
  static GVariant* onGetProperty(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                                 const gchar* name, GError** error, gpointer self);
  GVariant* property(const gchar* name) const;
  void emit(const char* signal, GVariant* parameters) const;

  GDBusConnection* bus_;
  std::string path_;
  std::string id_;
  std::string menuPath_;
  std::string title_;
  std::string icon_;
  std::string iconThemePath_;
  std::string label_;
  guint object_ = 0;
  guint watch_ = 0;
  GCancellable* registering_ = nullptr;
  int registrations_ = 0;
};

}  // namespace stratovane
