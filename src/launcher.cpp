// The `stratovane` command: starts the program with SIGUSR1, SIGINT and SIGTERM held.
//
// The program links dozens of libraries, and until the loader has mapped them no handler can
// exist: a SIGUSR1 from a bar or a network hook at login would end it. This command needs only
// the C library, so it holds the signals within microseconds of its start; the held set survives
// exec, and the program releases it once its handlers are in place.
#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace {

// Runs before the initialisers of the C library, the one library this command loads.
void holdSignals(int, char**, char**) {
  sigset_t held;
  sigemptyset(&held);
  sigaddset(&held, SIGUSR1);
  sigaddset(&held, SIGINT);
  sigaddset(&held, SIGTERM);
  sigprocmask(SIG_BLOCK, &held, nullptr);
}
[[gnu::used, gnu::section(".preinit_array")]] void (*const hold)(int, char**, char**) = holdSignals;

}  // namespace

int main(int, char** argv) {
  char self[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) {
    std::fprintf(stderr, "stratovane: cannot find where it is installed: %s\n",
                 std::strerror(errno));
    return 127;
  }
  self[length] = '\0';
  const int folder = static_cast<int>(std::strrchr(self, '/') + 1 - self);
  // Installed, the program is in the package's private folder; in the build tree, in private/.
  char program[PATH_MAX];
  for (const char* place : {STRATOVANE_PROGRAM_DIR, "private"}) {
    std::snprintf(program, sizeof program, "%.*s%s/stratovane", folder, self, place);
    if (access(program, X_OK) == 0) break;
  }
  execv(program, argv);
  std::fprintf(stderr, "stratovane: cannot start %s: %s\n", program, std::strerror(errno));
  return 127;
}
