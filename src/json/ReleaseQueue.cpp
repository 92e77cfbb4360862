// A per-thread queue of containers waiting to be freed.
#include "json/ReleaseQueue.h"

#include <vector>

namespace stratovane::detail {

void releaseLater(std::shared_ptr<const void> storage) noexcept {
  if (!storage) return;
  thread_local std::vector<std::shared_ptr<const void>> pending;
  thread_local bool draining = false;
  try {
    pending.push_back(std::move(storage));
  } catch (...) {
    storage.reset();  // out of memory: fall back to freeing it here
    return;
  }
  if (draining) return;
  draining = true;
  while (!pending.empty()) {
    std::shared_ptr<const void> next = std::move(pending.back());
    pending.pop_back();
    next.reset();  // may call releaseLater again, which only queues
  }
  draining = false;
}

}  // namespace stratovane::detail
