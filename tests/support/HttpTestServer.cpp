// An HTTP server on 127.0.0.1 for tests: real handlers, or a raw socket that misbehaves.
#include "support/HttpTestServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <stdexcept>
#include <system_error>

namespace stratovane::testing {

namespace {

[[noreturn]] void fail(const char* what) {
  throw std::system_error(errno, std::generic_category(), what);
}

FileDescriptor boundLoopbackSocket(int* port) {
  FileDescriptor fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!fd) fail("socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (::bind(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::getsockname(fd.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    fail("bind");
  }
  *port = ntohs(address.sin_port);
  return fd;
}

// Waits for `events` on `fd`; false when the server is being stopped, on error, or when the
// time-out (in ms, -1 for none) passes.
bool waitFor(int fd, short events, int stopFd, int timeout = -1) {
  pollfd fds[2] = {{fd, events, 0}, {stopFd, POLLIN, 0}};
  for (;;) {
    const int ready = ::poll(fds, 2, timeout);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0 || (fds[1].revents & POLLIN) != 0) return false;
    return (fds[0].revents & (events | POLLHUP | POLLERR)) != 0;
  }
}

bool sendAll(int fd, std::string_view bytes, int stopFd) {
  while (!bytes.empty()) {
    if (!waitFor(fd, POLLOUT, stopFd)) return false;
    const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent < 0) {
      if (errno == EAGAIN || errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

// Reads up to the end of the request's headers; false when the client leaves first.
bool readRequest(int fd, int stopFd) {
  std::string request;
  char buffer[4096];
  while (request.find("\r\n\r\n") == std::string::npos) {
    if (!waitFor(fd, POLLIN, stopFd, 10000)) return false;
    const ssize_t count = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (count < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (count <= 0) return false;
    request.append(buffer, static_cast<std::size_t>(count));
  }
  return true;
}

// Holds the connection open without answering until the client leaves or the server stops.
void waitForClientToLeave(int fd, int stopFd) {
  char buffer[4096];
  while (waitFor(fd, POLLIN, stopFd)) {
    const ssize_t count = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (count == 0 || (count < 0 && errno != EAGAIN && errno != EINTR)) return;
  }
}

constexpr std::string_view kPartialBody = "{\"partial\"";  // ten bytes

}  // namespace

void HttpTestServer::misbehave(Misbehaviour behaviour, int fd) {
  using M = Misbehaviour;
  const int stopFd = stop_.get();
  if (!readRequest(fd, stopFd)) return;
  ++requests_;
  const std::string block(65536, 'x');
  switch (behaviour) {
    case M::truncatedBody:
      sendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n", stopFd);
      sendAll(fd, kPartialBody, stopFd);
      return;
    case M::truncatedChunks:
      sendAll(fd, "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n", stopFd);
      sendAll(fd, "a\r\n" + std::string(kPartialBody) + "\r\n", stopFd);
      return;
    case M::silent:
      waitForClientToLeave(fd, stopFd);
      return;
    case M::stallsAfterHeaders:
      sendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n", stopFd);
      sendAll(fd, kPartialBody, stopFd);
      waitForClientToLeave(fd, stopFd);
      return;
    case M::endlessBody:
      if (!sendAll(fd, "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n", stopFd)) return;
      while (sendAll(fd, block, stopFd)) {
      }
      return;
    case M::tricklingBody:
      if (!sendAll(fd, "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n", stopFd)) return;
      while (sendAll(fd, "x", stopFd)) {
        pollfd stop{stopFd, POLLIN, 0};
        if (::poll(&stop, 1, 100) != 0) return;
      }
      return;
    case M::hugeDeclaredBody:
      if (!sendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: 1073741824\r\n\r\n", stopFd)) return;
      while (sendAll(fd, block, stopFd)) {
      }
      return;
  }
}

HttpTestServer::HttpTestServer(const Routes& routes)
    : server_(std::make_unique<httplib::Server>()) {
  start(routes);
}

HttpTestServer::HttpTestServer(const Routes& routes, const Tls& tls)
    : server_(std::make_unique<httplib::SSLServer>(tls.certificateFile.c_str(),
                                                   tls.privateKeyFile.c_str())),
      tls_(true) {
  if (!server_->is_valid()) throw std::runtime_error("HttpTestServer: unusable certificate");
  start(routes);
}

void HttpTestServer::start(const Routes& routes) {
  routes(*server_);
  port_ = server_->bind_to_any_port("127.0.0.1");
  if (port_ <= 0) throw std::runtime_error("HttpTestServer: cannot bind to 127.0.0.1");
  thread_ = std::thread([server = server_.get()] { server->listen_after_bind(); });
  // stop() is ignored until the server runs, so the destructor must not come earlier.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!server_->is_running() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

HttpTestServer::HttpTestServer(Misbehaviour behaviour)
    : listening_(boundLoopbackSocket(&port_)), stop_(::eventfd(0, EFD_CLOEXEC)) {
  if (!stop_ || ::listen(listening_.get(), 16) != 0 || port_ <= 0) fail("listen");
  thread_ = std::thread([this, behaviour] { serveRaw(behaviour); });
}

HttpTestServer::~HttpTestServer() {
  if (server_) {
    server_->stop();
  } else {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(stop_.get(), &one, sizeof one);
  }
  if (thread_.joinable()) thread_.join();
}

void HttpTestServer::serveRaw(Misbehaviour behaviour) {
  while (waitFor(listening_.get(), POLLIN, stop_.get())) {
    const FileDescriptor connection(::accept4(listening_.get(), nullptr, nullptr, SOCK_CLOEXEC));
    if (connection) misbehave(behaviour, connection.get());
  }
}

std::string HttpTestServer::url(std::string_view path) const {
  return (tls_ ? "https://127.0.0.1:" : "http://127.0.0.1:") + std::to_string(port_) +
         std::string(path);
}

void serve(httplib::Server& routes, const std::string& path, const std::string& body,
           const char* type, int status) {
  routes.Get(path, [=](const httplib::Request&, httplib::Response& response) {
    response.status = status;
    response.set_content(body, type);
  });
}

int HttpTestServer::refusedPort() {
  int port = 0;
  boundLoopbackSocket(&port);  // closed again at once
  return port;
}

}  // namespace stratovane::testing
