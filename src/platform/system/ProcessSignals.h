// SIGUSR1, SIGINT and SIGTERM held from the start of main and handed to the main loop when ready.
#pragma once

#include <functional>

namespace stratovane {

class ProcessSignals {
 public:
  // The first statement of main, before any thread exists. The three signals stay blocked, so
  // one arriving during set-up waits instead of ending the process; threads started later
  // inherit the block, so only the thread that attaches the handlers receives them. A write to
  // a pipe whose reader has gone fails with EPIPE instead of ending the process.
  static void holdUntilReady() noexcept;

  // Attaches the handlers to the default main context and unblocks the signals in this thread.
  // A SIGUSR1 held during set-up calls `onUpdate` once, from the main loop.
  ProcessSignals(std::function<void()> onUpdate, std::function<void()> onTerminate);
  ~ProcessSignals();
  ProcessSignals(const ProcessSignals&) = delete;
  ProcessSignals& operator=(const ProcessSignals&) = delete;

 private:
  std::function<void()> onUpdate_;
  std::function<void()> onTerminate_;
  unsigned sources_[3] = {};
};

}  // namespace stratovane
