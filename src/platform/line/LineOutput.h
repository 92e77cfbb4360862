// Lines to standard output that never block the main loop and notice when the reader has gone.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "platform/system/FileDescriptor.h"

namespace stratovane {

class LineOutput {
 public:
  // On a pipe or socket, writes do not block and `onClosed` is called from the default main
  // context once the reader has gone (hang-up, error or a broken pipe on write). Files and
  // terminals are written as they are, blocking as usual.
  LineOutput(int fd, std::function<void()> onClosed);
  ~LineOutput();
  LineOutput(const LineOutput&) = delete;
  LineOutput& operator=(const LineOutput&) = delete;

  // Writes the line and a line feed. While the reader lags, the rest of a line already begun is
  // finished first and only the newest later line waits; lines in between are dropped.
  void writeLine(const std::string& line);

  // Bytes still waiting: the rest of the line begun and the newest line.
  std::size_t pendingBytes() const;

 private:
  void flush();
  long writeSome(const char* data, std::size_t size);
  void watchWritable(bool on);
  void close();
  friend struct LineOutputWatches;

  int fd_;
  FileDescriptor ownFd_;  // the pipe opened anew, so its non-blocking flag is ours alone
  bool socket_ = false;
  bool closed_ = false;
  std::function<void()> onClosed_;
  std::string current_;
  std::size_t written_ = 0;
  std::optional<std::string> newest_;
  unsigned hangUpWatch_ = 0;
  unsigned writableWatch_ = 0;
};

}  // namespace stratovane
