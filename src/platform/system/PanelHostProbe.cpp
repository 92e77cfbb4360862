// Looks for a panel host that can show status items: a StatusNotifier watcher or an XEmbed tray.
#include "platform/system/PanelHostProbe.h"

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

#include "platform/Translation.h"
#include "platform/system/DesktopNotification.h"
#include "platform/system/GuardedCall.h"

namespace stratovane {

namespace {

constexpr const char* kWatcher = "org.kde.StatusNotifierWatcher";

struct XcbDisconnect {
  void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};

}  // namespace

struct PanelHostProbe::Question {
  GCancellable* cancellable;  // one reference
  std::function<void(bool, bool)> answer;
  bool tray;
};

PanelHostProbe::PanelHostProbe(GDBusConnection* bus)
    : bus_(bus != nullptr ? G_DBUS_CONNECTION(g_object_ref(bus)) : nullptr) {}

PanelHostProbe::~PanelHostProbe() {
  g_cancellable_cancel(cancellable_);
  g_object_unref(cancellable_);
  if (bus_ != nullptr) g_object_unref(bus_);
}

void PanelHostProbe::check(std::function<void(bool watcher, bool xembedTray)> answer) {
  // Owned by the GLib callbacks from here on.
  Question* question =
      std::make_unique<Question>(Question{G_CANCELLABLE(g_object_ref(cancellable_)),
                                          std::move(answer), xembedTrayPresent()})
          .release();
  if (bus_ == nullptr) {
    g_idle_add_full(
        G_PRIORITY_DEFAULT_IDLE,
        [](gpointer data) -> gboolean {
          auto* question = static_cast<Question*>(data);
          if (!g_cancellable_is_cancelled(question->cancellable))
            callGuarded([question] { question->answer(false, question->tray); }, "the panel probe");
          return G_SOURCE_REMOVE;
        },
        question,
        [](gpointer data) {
          const std::unique_ptr<Question> question(static_cast<Question*>(data));
          g_object_unref(question->cancellable);
        });
    return;
  }
  g_dbus_connection_call(bus_, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                         "org.freedesktop.DBus", "NameHasOwner", g_variant_new("(s)", kWatcher),
                         G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NONE, -1, cancellable_,
                         &PanelHostProbe::onAnswer, question);
}

void PanelHostProbe::onAnswer(GObject* bus, GAsyncResult* result, gpointer data) {
  const std::unique_ptr<Question> question(static_cast<Question*>(data));
  GError* error = nullptr;
  GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(bus), result, &error);
  const bool cancelled = g_cancellable_is_cancelled(question->cancellable);
  g_object_unref(question->cancellable);
  // A bus that cannot answer has no watcher either.
  g_clear_error(&error);
  gboolean watcher = FALSE;
  if (reply != nullptr) {
    g_variant_get(reply, "(b)", &watcher);
    g_variant_unref(reply);
  }
  if (cancelled) return;
  callGuarded([&] { question->answer(watcher, question->tray); }, "the panel probe");
}

bool PanelHostProbe::xembedTrayPresent() {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') return false;
  int screen = 0;
  const std::unique_ptr<xcb_connection_t, XcbDisconnect> connection(xcb_connect(display, &screen));
  if (xcb_connection_has_error(connection.get()) != 0) return false;
  const std::string selection = "_NET_SYSTEM_TRAY_S" + std::to_string(screen);
  xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
      connection.get(),
      xcb_intern_atom(connection.get(), 1, static_cast<uint16_t>(selection.size()),
                      selection.c_str()),
      nullptr);
  // Only if the atom exists: a tray manager has interned it.
  if (atom == nullptr) return false;
  const xcb_atom_t name = atom->atom;
  std::free(atom);
  if (name == XCB_ATOM_NONE) return false;
  xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
      connection.get(), xcb_get_selection_owner(connection.get(), name), nullptr);
  const bool owned = owner != nullptr && owner->owner != XCB_WINDOW_NONE;
  std::free(owner);
  return owned;
}

void PanelHostProbe::sayNoHost(GDBusConnection* bus) {
  std::fprintf(stderr, "%s\n", tr(kHint));
  sendDesktopNotification(bus, tr(kNoticeSummary), tr(kNoticeBody));
}

}  // namespace stratovane
