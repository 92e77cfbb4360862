// Early blocking of the program's signals and their GLib handlers.
#include "platform/system/ProcessSignals.h"

#include <glib-unix.h>
#include <glib.h>
#include <pthread.h>

#include <csignal>

#include "platform/Translation.h"
#include "platform/system/GuardedCall.h"

namespace stratovane {

namespace {

sigset_t heldSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGUSR1);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  return set;
}

// A handler rather than SIG_IGN: an ignored SIGPIPE would be inherited by programs we start.
void ignoreBrokenPipe(int) {}

gboolean callHandler(gpointer data) {
  callGuarded(*static_cast<std::function<void()>*>(data), trLater("signal handler"));
  return G_SOURCE_CONTINUE;
}

}  // namespace

void ProcessSignals::holdUntilReady() noexcept {
  const sigset_t held = heldSignals();
  pthread_sigmask(SIG_BLOCK, &held, nullptr);
  struct sigaction action = {};
  action.sa_handler = ignoreBrokenPipe;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  sigaction(SIGPIPE, &action, nullptr);
}

ProcessSignals::ProcessSignals(std::function<void()> onUpdate, std::function<void()> onTerminate)
    : onUpdate_(std::move(onUpdate)), onTerminate_(std::move(onTerminate)) {
  sources_[0] = g_unix_signal_add(SIGUSR1, callHandler, &onUpdate_);
  sources_[1] = g_unix_signal_add(SIGINT, callHandler, &onTerminate_);
  sources_[2] = g_unix_signal_add(SIGTERM, callHandler, &onTerminate_);
  // GLib's handlers are in place now; a signal held so far is delivered here and dispatched by
  // the main loop. Programs started from this thread get the default mask back.
  const sigset_t held = heldSignals();
  pthread_sigmask(SIG_UNBLOCK, &held, nullptr);
}

ProcessSignals::~ProcessSignals() {
  for (const unsigned source : sources_) g_source_remove(source);
}

}  // namespace stratovane
