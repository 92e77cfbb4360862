// Runs a job where no exception may escape: GLib callbacks, worker threads.
#include "platform/system/GuardedCall.h"

#include <cstdio>
#include <exception>

namespace stratovane {

void callGuarded(const std::function<void()>& job, const char* context) noexcept {
  try {
    if (job) job();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "stratovane: %s failed: %s\n", context, error.what());
  } catch (...) {
    std::fprintf(stderr, "stratovane: %s failed\n", context);
  }
}

}  // namespace stratovane
