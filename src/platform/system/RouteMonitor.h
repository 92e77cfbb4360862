// Watches the kernel's routing changes and tells when a usable default route has appeared.
#pragma once

#include <functional>

#include "platform/system/FileDescriptor.h"
#include "platform/system/GSourcePtr.h"

namespace stratovane {

// Listens on a netlink socket for route, address and link changes on the default main context.
// A burst of changes is settled for a moment, then `reachable` is asked again; `appeared` runs
// when the answer turns from false to true. Without a netlink socket nothing is watched.
class RouteMonitor {
 public:
  static constexpr unsigned kSettleMilliseconds = 250;

  RouteMonitor(std::function<bool()> reachable, std::function<void()> appeared);
  RouteMonitor(const RouteMonitor&) = delete;
  RouteMonitor& operator=(const RouteMonitor&) = delete;

 private:
  static gboolean onReadable(gint fd, GIOCondition condition, gpointer data);
  static gboolean onSettled(gpointer data);
  void drain();

  std::function<bool()> reachable_;
  std::function<void()> appeared_;
  bool wasReachable_ = false;
  FileDescriptor socket_;
  // Declared after the socket, so that they are destroyed before it closes.
  AttachedSource watch_;
  AttachedSource settle_;  // pending while a burst settles
};

}  // namespace stratovane
