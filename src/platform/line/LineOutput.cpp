// Non-blocking line output with hang-up detection on the default GLib main context.
#include "platform/line/LineOutput.h"

#include <fcntl.h>
#include <glib-unix.h>
#include <glib.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/system/GuardedCall.h"

namespace stratovane {

namespace {

bool readerGone(int error) {
  return error == EPIPE || error == ECONNRESET || error == ENOTCONN;
}

}  // namespace

struct LineOutputWatches {
  static gboolean onHangUp(gint, GIOCondition, gpointer self) {
    auto* output = static_cast<LineOutput*>(self);
    output->hangUpWatch_ = 0;  // removed by the return value
    output->close();
    return G_SOURCE_REMOVE;
  }

  static gboolean onWritable(gint, GIOCondition, gpointer self) {
    auto* output = static_cast<LineOutput*>(self);
    output->writableWatch_ = 0;  // flush() attaches a new watch while the reader still lags
    output->flush();
    return G_SOURCE_REMOVE;
  }
};

LineOutput::LineOutput(int fd, std::function<void()> onClosed)
    : fd_(fd), onClosed_(std::move(onClosed)) {
  struct stat status = {};
  if (::fstat(fd, &status) != 0) return;
  if (S_ISFIFO(status.st_mode)) {
    // A description of our own: others sharing the inherited one (a shell, our standard error
    // on 2>&1) keep blocking writes. Without /proc the inherited one is switched instead.
    ownFd_ = FileDescriptor(
        ::open(("/proc/self/fd/" + std::to_string(fd)).c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
    if (ownFd_)
      fd_ = ownFd_.get();
    else
      ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
  } else if (S_ISSOCK(status.st_mode)) {
    socket_ = true;  // send() takes the non-blocking flag per call
  } else {
    return;
  }
  hangUpWatch_ = g_unix_fd_add(fd_, static_cast<GIOCondition>(G_IO_HUP | G_IO_ERR),
                               LineOutputWatches::onHangUp, this);
}

LineOutput::~LineOutput() {
  watchWritable(false);
  if (hangUpWatch_ != 0) g_source_remove(hangUpWatch_);
}

void LineOutput::writeLine(const std::string& line) {
  if (closed_) return;
  if (written_ < current_.size()) {
    newest_ = line + '\n';
    return;
  }
  current_ = line + '\n';
  written_ = 0;
  flush();
}

std::size_t LineOutput::pendingBytes() const {
  return current_.size() - written_ + (newest_ ? newest_->size() : 0);
}

void LineOutput::flush() {
  for (;;) {
    if (written_ == current_.size()) {
      if (!newest_) break;
      current_ = std::move(*newest_);
      newest_.reset();
      written_ = 0;
    }
    const long count = writeSome(current_.data() + written_, current_.size() - written_);
    if (count >= 0) {
      written_ += static_cast<std::size_t>(count);
    } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
      watchWritable(true);
      return;
    } else if (readerGone(errno)) {
      close();
      return;
    } else if (errno != EINTR) {
      written_ = current_.size();  // a failing file loses the line, as a failed fwrite did
    }
  }
  current_.clear();
  written_ = 0;
  watchWritable(false);
}

long LineOutput::writeSome(const char* data, std::size_t size) {
  if (socket_) return ::send(fd_, data, size, MSG_DONTWAIT | MSG_NOSIGNAL);
  return ::write(fd_, data, size);
}

void LineOutput::watchWritable(bool on) {
  if (on && writableWatch_ == 0) {
    writableWatch_ = g_unix_fd_add(fd_, G_IO_OUT, LineOutputWatches::onWritable, this);
  } else if (!on && writableWatch_ != 0) {
    g_source_remove(writableWatch_);
    writableWatch_ = 0;
  }
}

void LineOutput::close() {
  if (closed_) return;
  closed_ = true;
  current_.clear();
  written_ = 0;
  newest_.reset();
  watchWritable(false);
  if (hangUpWatch_ != 0) g_source_remove(hangUpWatch_);
  hangUpWatch_ = 0;
  callGuarded(onClosed_, "closed output");
}

}  // namespace stratovane
