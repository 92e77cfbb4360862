// One panel item per desktop session: GIO's application uniqueness on the session bus.
#include "platform/system/SessionInstance.h"

#include <gio/gio.h>

#include <cstdio>

#include "platform/Translation.h"
#include "platform/system/GuardedCall.h"

namespace stratovane {

void SessionInstance::Unref::operator()(GApplication* application) const noexcept {
  // Releases the bus name, so a later instance becomes the first.
  g_object_unref(application);
}

SessionInstance::SessionInstance(const char* applicationId) {
  if (!g_application_id_is_valid(applicationId)) return;
  application_.reset(g_application_new(applicationId, G_APPLICATION_DEFAULT_FLAGS));
  // Connected before the name is taken: an activation may be waiting as soon as it is.
  g_signal_connect(application_.get(), "activate", G_CALLBACK(+[](GApplication*, gpointer self) {
                     auto* instance = static_cast<SessionInstance*>(self);
                     if (instance->activation_)
                       callGuarded(instance->activation_,
                                   trLater("handing over to the panel item"));
                   }),
                   this);
  GError* error = nullptr;
  if (!g_application_register(application_.get(), nullptr, &error)) {
    // No session bus (or no answer from it): one instance more does no harm.
    std::fprintf(stderr, tr("stratovane: running without a session bus: %s\n"),
                 error != nullptr ? error->message : tr("unknown error"));
    if (error != nullptr) g_error_free(error);
    application_.reset();
    return;
  }
  if (!g_application_get_is_remote(application_.get())) {
    role_ = Role::first;
    return;
  }
  role_ = Role::second;
  g_application_activate(application_.get());
  // The call is sent asynchronously; a process that ended at once could drop it.
  if (GDBusConnection* bus = g_application_get_dbus_connection(application_.get()))
    g_dbus_connection_flush_sync(bus, nullptr, nullptr);
}

SessionInstance::~SessionInstance() = default;

DesktopFrontEnd::SessionRole SessionInstance::sessionRole() const {
  switch (role_) {
    case Role::first:
      return DesktopFrontEnd::SessionRole::first;
    case Role::second:
      return DesktopFrontEnd::SessionRole::second;
    case Role::alone:
      break;
  }
  return DesktopFrontEnd::SessionRole::alone;
}

}  // namespace stratovane
