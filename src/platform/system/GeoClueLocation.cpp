// The computer's position from GeoClue2 on the system bus.
#include "platform/system/GeoClueLocation.h"

#include <gio/gio.h>

#include <cmath>
#include <memory>
#include <string>
#include <utility>

#include "platform/system/GObjectPtr.h"
#include "platform/system/GuardedCall.h"

namespace stratovane {

namespace {

constexpr const char* kBus = "org.freedesktop.DBus";
constexpr const char* kBusPath = "/org/freedesktop/DBus";
constexpr const char* kService = "org.freedesktop.GeoClue2";
constexpr const char* kManagerPath = "/org/freedesktop/GeoClue2/Manager";
constexpr const char* kManager = "org.freedesktop.GeoClue2.Manager";
constexpr const char* kClient = "org.freedesktop.GeoClue2.Client";
constexpr const char* kLocation = "org.freedesktop.GeoClue2.Location";
constexpr const char* kProperties = "org.freedesktop.DBus.Properties";

struct VariantUnref {
  void operator()(GVariant* value) const noexcept { g_variant_unref(value); }
};
struct ErrorFree {
  void operator()(GError* error) const noexcept { g_error_free(error); }
};
using CancellablePtr = GObjectPtr<GCancellable>;
using BusPtr = GObjectPtr<GDBusConnection>;
using VariantPtr = std::unique_ptr<GVariant, VariantUnref>;
using ErrorPtr = std::unique_ptr<GError, ErrorFree>;

bool cancelled(const ErrorPtr& error) {
  return error && g_error_matches(error.get(), G_IO_ERROR, G_IO_ERROR_CANCELLED);
}

// Work on the bus: connects, then the subclass goes on from connected() with one call at a
// time. A callback that comes after the work was dropped finds its call cancelled and touches
// nothing.
class BusWork : public PendingWork {
 public:
  ~BusWork() override { g_cancellable_cancel(cancellable_.get()); }
  BusWork(const BusWork&) = delete;
  BusWork& operator=(const BusWork&) = delete;

 protected:
  explicit BusWork(const std::string& address) {
    if (address.empty()) {
      g_bus_get(G_BUS_TYPE_SYSTEM, cancellable_.get(), &BusWork::onSystemBus, this);
    } else {
      g_dbus_connection_new_for_address(
          address.c_str(),
          static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                            G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
          nullptr, cancellable_.get(), &BusWork::onBusAt, this);
    }
  }

  virtual void connected() = 0;
  // No bus, or a call that failed: the subclass answers none.
  virtual void failed() = 0;

  // `then` gets the reply; an error ends the work through failed(). Calls may overlap.
  void call(const char* destination, const char* path, const char* interface, const char* method,
            GVariant* arguments, std::function<void(GVariant*)> then) {
    auto pending = std::make_unique<Call>(Call{this, std::move(then)});
    // The reply callback takes the call back: GLib always runs it, cancelled or not.
    g_dbus_connection_call(bus_.get(), destination, path, interface, method, arguments, nullptr,
                           G_DBUS_CALL_FLAGS_NONE, -1, cancellable_.get(), &BusWork::onReply,
                           pending.release());
  }

  BusPtr bus_;

 private:
  void take(GDBusConnection* bus) {
    if (bus == nullptr) return callGuarded([this] { failed(); }, "the location service");
    // A restart of the system bus must not end the program.
    g_dbus_connection_set_exit_on_close(bus, FALSE);
    bus_.reset(bus);
    callGuarded([this] { connected(); }, "the location service");
  }

  static void onSystemBus(GObject*, GAsyncResult* result, gpointer data) {
    GError* raw = nullptr;
    GDBusConnection* bus = g_bus_get_finish(result, &raw);
    const ErrorPtr error(raw);
    if (!cancelled(error)) static_cast<BusWork*>(data)->take(bus);
  }
  static void onBusAt(GObject*, GAsyncResult* result, gpointer data) {
    GError* raw = nullptr;
    GDBusConnection* bus = g_dbus_connection_new_for_address_finish(result, &raw);
    const ErrorPtr error(raw);
    if (!cancelled(error)) static_cast<BusWork*>(data)->take(bus);
  }
  struct Call {
    BusWork* work;
    std::function<void(GVariant*)> then;
  };

  static void onReply(GObject* source, GAsyncResult* result, gpointer data) {
    const std::unique_ptr<Call> pending(static_cast<Call*>(data));
    GError* raw = nullptr;
    const VariantPtr reply(g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &raw));
    const ErrorPtr error(raw);
    if (cancelled(error)) return;
    callGuarded(
        [&] {
          if (reply) {
            pending->then(reply.get());
          } else {
            pending->work->failed();
          }
        },
        "the location service");
  }

  CancellablePtr cancellable_{g_cancellable_new()};
};

// Whether the bus has the service: running, or started on demand as it usually is.
class Availability final : public BusWork {
 public:
  Availability(const std::string& address, std::function<void(bool)> answer)
      : BusWork(address), answer_(std::move(answer)) {}

 private:
  void connected() override {
    call(kBus, kBusPath, kBus, "NameHasOwner", g_variant_new("(s)", kService),
         [this](GVariant* reply) {
           gboolean owned = FALSE;
           if (g_variant_is_of_type(reply, G_VARIANT_TYPE("(b)")))
             g_variant_get(reply, "(b)", &owned);
           if (owned) return finish(true);
           call(kBus, kBusPath, kBus, "ListActivatableNames", nullptr,
                [this](GVariant* names) { finish(lists(names)); });
         });
  }
  void failed() override { finish(false); }

  static bool lists(GVariant* names) {
    if (!g_variant_is_of_type(names, G_VARIANT_TYPE("(as)"))) return false;
    const VariantPtr list(g_variant_get_child_value(names, 0));
    const gsize count = g_variant_n_children(list.get());
    for (gsize i = 0; i < count; ++i) {
      const VariantPtr name(g_variant_get_child_value(list.get(), i));
      if (g_strcmp0(g_variant_get_string(name.get(), nullptr), kService) == 0) return true;
    }
    return false;
  }

  // The answer may drop this work: the last thing done.
  void finish(bool available) {
    if (const auto answer = std::exchange(answer_, nullptr)) answer(available);
  }

  std::function<void(bool)> answer_;
};

// One position: a client set up and started, its first location read, the client stopped.
class Locating final : public BusWork {
 public:
  Locating(const std::string& address, std::function<void(std::optional<Coordinate>)> done)
      : BusWork(address), done_(std::move(done)) {}

  ~Locating() override {
    if (subscription_ != 0) g_dbus_connection_signal_unsubscribe(bus_.get(), subscription_);
    stopClient();
  }

 private:
  void connected() override {
    call(kService, kManagerPath, kManager, "GetClient", nullptr, [this](GVariant* reply) {
      if (!g_variant_is_of_type(reply, G_VARIANT_TYPE("(o)"))) return failed();
      const gchar* path = nullptr;
      g_variant_get(reply, "(&o)", &path);
      client_ = path;
      // Before Start: the first position may come with Start's own reply.
      subscription_ = g_dbus_connection_signal_subscribe(
          bus_.get(), kService, kClient, "LocationUpdated", client_.c_str(), nullptr,
          G_DBUS_SIGNAL_FLAGS_NONE, &Locating::onLocationUpdated, this, nullptr);
      setProperty("DesktopId", g_variant_new_string(GeoClueLocation::kDesktopId), [this] {
        setProperty("RequestedAccuracyLevel", g_variant_new_uint32(GeoClueLocation::kCityAccuracy),
                    [this] {
                      started_ = true;
                      call(kService, client_.c_str(), kClient, "Start", nullptr, [](GVariant*) {});
                    });
      });
    });
  }

  void failed() override { finish(std::nullopt); }

  void setProperty(const char* name, GVariant* value, std::function<void()> then) {
    call(kService, client_.c_str(), kProperties, "Set",
         g_variant_new("(ssv)", kClient, name, value),
         [then = std::move(then)](GVariant*) { then(); });
  }

  static void onLocationUpdated(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                                const gchar*, GVariant* parameters, gpointer data) {
    if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(oo)"))) return;
    const gchar* location = nullptr;
    g_variant_get_child(parameters, 1, "&o", &location);
    auto& self = *static_cast<Locating*>(data);
    if (self.reading_) return;  // the first one is being read
    self.reading_ = true;
    callGuarded(
        [&] {
          self.call(kService, location, kProperties, "GetAll", g_variant_new("(s)", kLocation),
                    [&self](GVariant* reply) { self.finish(positionIn(reply)); });
        },
        "the location service");
  }

  static std::optional<Coordinate> positionIn(GVariant* reply) {
    if (!g_variant_is_of_type(reply, G_VARIANT_TYPE("(a{sv})"))) return std::nullopt;
    const VariantPtr properties(g_variant_get_child_value(reply, 0));
    Coordinate position;
    if (!g_variant_lookup(properties.get(), "Latitude", "d", &position.latitude) ||
        !g_variant_lookup(properties.get(), "Longitude", "d", &position.longitude))
      return std::nullopt;
    if (!std::isfinite(position.latitude) || !std::isfinite(position.longitude))
      return std::nullopt;
    return position;
  }

  // No reply wanted: it may come after this work is gone.
  void stopClient() {
    if (!started_ || !bus_) return;
    started_ = false;
    g_dbus_connection_call(bus_.get(), kService, client_.c_str(), kClient, "Stop", nullptr, nullptr,
                           G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr, nullptr);
    // Sends it before a private connection goes with this work.
    g_dbus_connection_flush(bus_.get(), nullptr, nullptr, nullptr);
  }

  // `done` may drop this work: the last thing done.
  void finish(std::optional<Coordinate> position) {
    stopClient();
    if (const auto done = std::exchange(done_, nullptr)) done(position);
  }

  std::function<void(std::optional<Coordinate>)> done_;
  std::string client_;
  guint subscription_ = 0;
  bool started_ = false;
  bool reading_ = false;
};

}  // namespace

std::unique_ptr<PendingWork> GeoClueLocation::checkAvailable(std::function<void(bool)> answer) {
  return std::make_unique<Availability>(busAddress_, std::move(answer));
}

std::unique_ptr<PendingWork> GeoClueLocation::locate(
    std::function<void(std::optional<Coordinate>)> done) {
  return std::make_unique<Locating>(busAddress_, std::move(done));
}

}  // namespace stratovane
