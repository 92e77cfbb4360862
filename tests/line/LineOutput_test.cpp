// Non-blocking line output: a lagging reader, a reader gone.
#include "platform/line/LineOutput.h"

#include <fcntl.h>
#include <glib.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <utility>

#include "platform/system/FileDescriptor.h"

namespace stratovane {
namespace {

// A pipe, or a connected socket pair standing in for one.
struct Pipe {
  explicit Pipe(bool socket = false) {
    int fds[2];
    EXPECT_EQ(socket ? ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds)
                     : ::pipe2(fds, O_CLOEXEC),
              0);
    reader = FileDescriptor(fds[0]);
    writer = FileDescriptor(fds[1]);
  }
  FileDescriptor reader;
  FileDescriptor writer;
};

TEST(LineOutput, LaggingReaderGetsTheBegunLineAndOnlyTheNewestAfterIt) {
  Pipe pipe;
  const long capacity = ::fcntl(pipe.writer.get(), F_SETPIPE_SZ, 4096);
  ASSERT_GT(capacity, 0);
  int closed = 0;
  LineOutput output(pipe.writer.get(), [&] { ++closed; });
  // The inherited description stays blocking for whoever shares it.
  EXPECT_EQ(::fcntl(pipe.writer.get(), F_GETFL) & O_NONBLOCK, 0);

  const std::string first(static_cast<std::size_t>(capacity) * 3, 'a');
  output.writeLine(first);
  output.writeLine("dropped");
  output.writeLine("newest");
  EXPECT_EQ(output.pendingBytes(), 2 * static_cast<std::size_t>(capacity) + 1 + 7);

  ::fcntl(pipe.reader.get(), F_SETFL, O_NONBLOCK);
  std::string received;
  char chunk[1024];
  for (int turn = 0; turn < 1000 && received.size() < first.size() + 8; ++turn) {
    const ssize_t count = ::read(pipe.reader.get(), chunk, sizeof chunk);
    if (count > 0) received.append(chunk, static_cast<std::size_t>(count));
    g_main_context_iteration(nullptr, FALSE);
  }
  EXPECT_EQ(received, first + "\nnewest\n");
  EXPECT_EQ(output.pendingBytes(), 0u);
  EXPECT_EQ(closed, 0);
}

TEST(LineOutput, ReaderGoneEndsItOnceWithoutASignal) {
  // Without the program's own SIGPIPE handling, which this test process does not have.
  const auto previous = std::signal(SIGPIPE, SIG_IGN);
  for (const auto& [socket, writeFirst] : {std::pair{false, false}, std::pair{false, true},
                                           std::pair{true, false}, std::pair{true, true}}) {
    SCOPED_TRACE(std::string(socket ? "socket, " : "pipe, ") +
                 (writeFirst ? "broken pipe on write" : "hang-up seen by the main loop"));
    Pipe pipe(socket);
    int closed = 0;
    LineOutput output(pipe.writer.get(), [&] { ++closed; });
    output.writeLine("seen");
    pipe.reader.close();
    if (writeFirst) {
      output.writeLine("lost");
      EXPECT_EQ(closed, 1);
    }
    for (int turn = 0; turn < 100 && closed == 0; ++turn) g_main_context_iteration(nullptr, FALSE);
    output.writeLine("after");
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(output.pendingBytes(), 0u);
  }
  std::signal(SIGPIPE, previous);
}

}  // namespace
}  // namespace stratovane
