// Spawning and talking to a child process.
#include "support/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>
#include <thread>
#include <utility>

extern char** environ;

namespace stratovane::testing {

namespace {
using Clock = std::chrono::steady_clock;

// Waits until `fd` has bytes or `deadline` passes, and appends them; false at either end.
bool readUntil(int fd, std::string& buffer, Clock::time_point deadline) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  pollfd ready{fd, POLLIN, 0};
  if (::poll(&ready, 1, static_cast<int>(std::max<long>(0, left))) <= 0) return false;
  char chunk[4096];
  const ssize_t count = ::read(fd, chunk, sizeof chunk);
  if (count <= 0) return false;
  buffer.append(chunk, static_cast<std::size_t>(count));
  return true;
}
}  // namespace

ChildProcess::ChildProcess(std::vector<std::string> argv,
                           const std::map<std::string, std::string>& environment) {
  // The test's environment without the names given, then those given a value.
  std::vector<std::string> envText;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    if (environment.count(text.substr(0, text.find('='))) == 0) envText.push_back(text);
  }
  for (const auto& [name, value] : environment)
    if (!value.empty()) envText.push_back(name + "=" + value);
  std::vector<char*> envp, args;
  for (auto& text : envText) envp.push_back(text.data());
  for (auto& arg : argv) args.push_back(arg.data());
  envp.push_back(nullptr);
  args.push_back(nullptr);

  int outPipe[2];
  int errPipe[2];
  if (::pipe2(outPipe, O_CLOEXEC) != 0 || ::pipe2(errPipe, O_CLOEXEC) != 0)
    throw std::runtime_error("pipe failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  const int result = posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(outPipe[1]);
  ::close(errPipe[1]);
  out_ = outPipe[0];
  err_ = errPipe[0];
  if (result != 0) throw std::runtime_error(std::string("spawn failed: ") + std::strerror(result));
}

ChildProcess::~ChildProcess() {
  if (!reaped_ && pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  if (out_ >= 0) ::close(out_);
  if (err_ >= 0) ::close(err_);
}

std::optional<std::string> ChildProcess::readLine(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    if (const auto end = outBuffer_.find('\n'); end != std::string::npos) {
      std::string line = outBuffer_.substr(0, end);
      outBuffer_.erase(0, end + 1);
      return line;
    }
    if (!readUntil(out_, outBuffer_, deadline)) return std::nullopt;
  }
}

std::string ChildProcess::readErrors(std::chrono::milliseconds wait) {
  const auto deadline = Clock::now() + wait;
  while (readUntil(err_, errBuffer_, deadline)) {
  }
  return errBuffer_;
}

void ChildProcess::closeOutput() {
  if (out_ >= 0) ::close(std::exchange(out_, -1));
}

std::size_t ChildProcess::unreadOutput() const {
  int count = 0;
  if (out_ < 0 || ::ioctl(out_, FIONREAD, &count) != 0) return 0;
  return static_cast<std::size_t>(count);
}

void ChildProcess::signal(int number) {
  if (!reaped_) ::kill(pid_, number);
}

std::optional<int> ChildProcess::wait(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      reaped_ = true;
      return WIFEXITED(status) ? std::optional(WEXITSTATUS(status)) : std::nullopt;
    }
    if (Clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

}  // namespace stratovane::testing
