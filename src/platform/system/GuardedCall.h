// Runs a job where no exception may escape: GLib callbacks, worker threads.
#pragma once

#include <functional>

namespace stratovane {

// An exception thrown by `job` is reported on standard error, naming `context`, and dropped:
// unwinding through C frames is undefined, and one failed job must not end the application.
void callGuarded(const std::function<void()>& job, const char* context) noexcept;

}  // namespace stratovane
