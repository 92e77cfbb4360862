// Runs a job where no exception may escape: GLib callbacks, worker threads.
#include "platform/system/GuardedCall.h"

#include <cstdio>
#include <exception>

#include "platform/Translation.h"

namespace stratovane {

void callGuarded(const std::function<void()>& job, const char* context) noexcept {
  try {
    if (job) job();
  } catch (const std::exception& error) {
    std::fprintf(stderr, tr("stratovane: %s failed: %s\n"), tr(context), error.what());
  } catch (...) {
    std::fprintf(stderr, tr("stratovane: %s failed\n"), tr(context));
  }
}

}  // namespace stratovane
