// A child process with piped standard output and error, for tests of the built binary.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace stratovane::testing {

class ChildProcess {
 public:
  // Starts argv[0] with the test's environment changed by `environment` (an empty value unsets).
  ChildProcess(std::vector<std::string> argv,
               const std::map<std::string, std::string>& environment);
  ~ChildProcess();  // kills and reaps the child if it still runs
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // The next line of standard output, without its line feed; none at end of file or time-out.
  std::optional<std::string> readLine(std::chrono::milliseconds timeout = std::chrono::seconds(20));
  // Everything written to standard error so far (waits briefly for more).
  std::string readErrors(std::chrono::milliseconds wait = std::chrono::milliseconds(200));

  // Closes our end of the child's standard output, as a bar that goes away does.
  void closeOutput();
  // Bytes waiting in the standard output pipe, not yet read.
  std::size_t unreadOutput() const;

  void signal(int number);
  // The exit status, or none if the child did not end in time or ended by a signal.
  std::optional<int> wait(std::chrono::milliseconds timeout = std::chrono::seconds(20));
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  int err_ = -1;
  bool reaped_ = false;
  std::string outBuffer_;
  std::string errBuffer_;
};

struct Output {
  int status = -1;   // as pclose gives it
  std::string text;  // standard output and error together
};

// Runs `command` in the shell and waits for its end.
inline Output run(const std::string& command) {
  Output output;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return output;
  char buffer[4096];
  for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    output.text.append(buffer, n);
  output.status = pclose(pipe);
  return output;
}

}  // namespace stratovane::testing
