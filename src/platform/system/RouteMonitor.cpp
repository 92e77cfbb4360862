// Watches the kernel's routing changes and tells when a usable default route has appeared.
#include "platform/system/RouteMonitor.h"

#include <glib-unix.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>

#include <cerrno>
#include <utility>

#include "platform/Translation.h"
#include "platform/system/GuardedCall.h"

namespace stratovane {

RouteMonitor::RouteMonitor(std::function<bool()> reachable, std::function<void()> appeared)
    : reachable_(std::move(reachable)), appeared_(std::move(appeared)) {
  wasReachable_ = reachable_();
  FileDescriptor socket(
      ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_ROUTE));
  if (!socket) return;
  sockaddr_nl address{};
  address.nl_family = AF_NETLINK;
  // A link or an address coming up can make a route that already exists usable.
  address.nl_groups =
      RTMGRP_LINK | RTMGRP_IPV4_IFADDR | RTMGRP_IPV6_IFADDR | RTMGRP_IPV4_ROUTE | RTMGRP_IPV6_ROUTE;
  if (bind(socket.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return;
  socket_ = std::move(socket);
  watch_ = attachSource(g_unix_fd_source_new(socket_.get(), G_IO_IN),
                        G_SOURCE_FUNC(&RouteMonitor::onReadable), this);
}

void RouteMonitor::drain() {
  alignas(nlmsghdr) char buffer[8192];
  // The messages only say that something changed; the tables are read again once it settles.
  // An overrun (ENOBUFS) means the same.
  while (recv(socket_.get(), buffer, sizeof buffer, 0) > 0 || errno == ENOBUFS) {
  }
}

gboolean RouteMonitor::onReadable(gint, GIOCondition, gpointer data) {
  auto* self = static_cast<RouteMonitor*>(data);
  self->drain();
  if (!self->settle_) {
    self->settle_ =
        attachSource(g_timeout_source_new(kSettleMilliseconds), &RouteMonitor::onSettled, self);
  }
  return G_SOURCE_CONTINUE;
}

gboolean RouteMonitor::onSettled(gpointer data) {
  auto* self = static_cast<RouteMonitor*>(data);
  self->settle_.reset();
  callGuarded(
      [self] {
        const bool reachable = self->reachable_();
        const bool appeared = reachable && !self->wasReachable_;
        self->wasReachable_ = reachable;
        if (appeared) self->appeared_();
      },
      trLater("route change"));
  return G_SOURCE_REMOVE;
}

}  // namespace stratovane
