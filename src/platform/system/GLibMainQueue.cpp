// The main queue: jobs submitted from any thread run in order on the default GLib main context.
#include "platform/system/GLibMainQueue.h"

#include <glib.h>

#include <deque>
#include <mutex>

#include "platform/Translation.h"
#include "platform/system/GSourcePtr.h"
#include "platform/system/GuardedCall.h"

namespace stratovane {

// Shared with the idle source, which may still be attached after the queue is gone.
struct GLibMainQueue::Inbox {
  std::mutex mutex;
  std::deque<std::function<void()>> jobs;
  bool wakeUpPending = false;
  bool closed = false;
};

GLibMainQueue::GLibMainQueue() : inbox_(std::make_shared<Inbox>()) {}

GLibMainQueue::~GLibMainQueue() {
  std::deque<std::function<void()>> dropped;
  {
    std::lock_guard lock(inbox_->mutex);
    inbox_->closed = true;
    dropped.swap(inbox_->jobs);
  }
  // `dropped` is destroyed here, outside the lock: a job's captures may submit again.
}

void GLibMainQueue::async(std::function<void()> job) {
  // Made first: once wakeUpPending is set, the source must really be attached.
  auto shared = std::make_unique<std::shared_ptr<Inbox>>(inbox_);
  {
    std::lock_guard lock(inbox_->mutex);
    if (inbox_->closed) return;
    inbox_->jobs.push_back(std::move(job));
    if (inbox_->wakeUpPending) return;
    inbox_->wakeUpPending = true;
  }
  // One idle source per batch; attaching is thread-safe and wakes the main context.
  GSourcePtr source(g_idle_source_new());
  g_source_set_priority(source.get(), G_PRIORITY_DEFAULT);
  g_source_set_callback(source.get(), &GLibMainQueue::drain, shared.release(),
                        &GLibMainQueue::release);
  g_source_attach(source.get(), g_main_context_default());
}

void GLibMainQueue::release(void* data) {
  std::unique_ptr<std::shared_ptr<Inbox>> owned(static_cast<std::shared_ptr<Inbox>*>(data));
}

int GLibMainQueue::drain(void* data) {
  const std::shared_ptr<Inbox> inbox = *static_cast<std::shared_ptr<Inbox>*>(data);
  std::deque<std::function<void()>> batch;
  {
    std::lock_guard lock(inbox->mutex);
    inbox->wakeUpPending = false;  // jobs submitted from now on get a new source
    batch.swap(inbox->jobs);
  }
  for (auto& job : batch) {
    {
      // A job may destroy the queue; the rest of the batch is then dropped.
      std::lock_guard lock(inbox->mutex);
      if (inbox->closed) break;
    }
    callGuarded(job, trLater("a main queue job"));
  }
  return G_SOURCE_REMOVE;
}

}  // namespace stratovane
