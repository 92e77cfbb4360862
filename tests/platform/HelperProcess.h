// Runs part of a test in a forked child, where it may change what the test process must keep:
// its user, its network namespace.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <optional>

namespace stratovane::testing {

// The exit status `body` returns in the child; none when the child crashed or threw.
inline std::optional<int> runInChild(const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child == 0) {
    int status = 255;
    try {
      status = body();
    } catch (...) {
    }
    std::_Exit(status);  // never back into the test framework
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return {};
  return WEXITSTATUS(status);
}

}  // namespace stratovane::testing
