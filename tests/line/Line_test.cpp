// The line front end: title lines and waybar objects, written without blocking to a reader that
// may lag or go away.
#include <fcntl.h>
#include <glib.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <utility>

#include "platform/line/LineOutput.h"
#include "platform/line/LineStatusItem.h"
#include "platform/system/FileDescriptor.h"
#include "support/FakePlatform.h"

namespace stratovane {
namespace {

TEST(LineStatusItem, PlainPrintsEveryTitleAtOnceWaybarOneObjectPerBurstOfChanges) {
  std::string out;
  const auto write = [&out](const std::string& line) { out += line + '\n'; };
  testing::FakeQueue mainQueue;
  LineStatusItem plain(LineFormat::plain, mainQueue, write);
  plain.setTitle("\u23F1 Fetching...");
  plain.setTitle("\u2600\uFE0F 22\u00B0 ");
  plain.setTitle("\u2600\uFE0F 22\u00B0 ");
  EXPECT_EQ(out, "\u23F1 Fetching...\n\u2600\uFE0F 22\u00B0 \n\u2600\uFE0F 22\u00B0 \n");
  EXPECT_EQ(mainQueue.size(), 0u);

  out.clear();
  LineStatusItem item(LineFormat::waybar, mainQueue, write);
  item.setForecastText([] { return std::string("Min 1\u00B0 Max 5\u00B0\n\n\"rain\" <i>"); });
  auto menu = std::make_shared<Menu>();
  item.setMenu(menu);
  menu->addItem(MenuItem::separatorItem());
  menu->addItem({"Quit", [] {}});
  item.setTitle("\u23F1 Fetching...");
  mainQueue.runAll();
  // Before the forecast entries exist the tooltip is empty.
  EXPECT_EQ(out, "{\"text\":\"\u23F1 Fetching...\",\"tooltip\":\"\"}\n");

  item.setTitle("<b>&amp;</b>\\\t\x01");
  menu->removeAllItems();
  menu->addItem({"\u2600\uFE0F 14:00: a<b & c>d : 21 \u00B0", [] {}});
  menu->addItem({"\u2600\uFE0F 15:00: clear : 20 \u00B0", [] {}});
  menu->addItem(MenuItem::separatorItem());
  menu->addItem({"Quit", [] {}});
  mainQueue.runAll();
  EXPECT_EQ(
      out,
      "{\"text\":\"\u23F1 Fetching...\",\"tooltip\":\"\"}\n"
      "{\"text\":\"&lt;b&gt;&amp;amp;&lt;/b&gt;\\\\\\t\\u0001\",\"tooltip\":\"\u2600\uFE0F 14:00: "
      "a&lt;b &amp; c&gt;d : 21 \u00B0\\n"
      "\u2600\uFE0F 15:00: clear : 20 \u00B0\\n\\nMin 1\u00B0 Max 5\u00B0\\n\\n\\\"rain\\\" "
      "&lt;i&gt;\"}\n");
}

TEST(LineStatusItem, WaybarPutsAlertsFirstAndMarksTheObjectWhileOneIsInForce) {
  testing::FakeQueue mainQueue;  // never run: the lines are asked for directly
  LineStatusItem item(LineFormat::waybar, mainQueue, nullptr);
  bool inForce = false;
  item.setAlertInForce([&] { return inForce; });
  auto menu = std::make_shared<Menu>();
  item.setMenu(menu);
  // As the controller builds it: alerts, a separator, hours, two separators, the commands.
  for (const char* title : {"\u26A0\uFE0F Heat until 18:00", "\u26A0\uFE0F Wind", "",
                            "12:00: clear", "", "", "Update forecast", "", "Quit"})
    menu->addItem(*title ? MenuItem{title, [] {}} : MenuItem::separatorItem());
  const std::string object =
      "{\"text\":\"\",\"tooltip\":\"\u26A0\uFE0F Heat until 18:00\\n\u26A0\uFE0F Wind\\n12:00: "
      "clear\"";
  EXPECT_EQ(item.waybarLine(), object + "}");
  inForce = true;
  EXPECT_EQ(item.waybarLine(), object + ",\"class\":\"alert\"}");
}

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
