// An HTTP server on 127.0.0.1 for tests, with real handlers or ones that break HTTP.
#include "support/HttpTestServer.h"

#include <chrono>
#include <stdexcept>

namespace stratovane::testing {

HttpTestServer::HttpTestServer(const Routes& routes)
    : server_(std::make_unique<httplib::Server>()) {
  start(routes);
}

HttpTestServer::HttpTestServer(const Routes& routes, const std::string& certificate,
                               const std::string& key)
    : server_(std::make_unique<httplib::SSLServer>(certificate.c_str(), key.c_str())), tls_(true) {
  if (!server_->is_valid()) throw std::runtime_error("HttpTestServer: unusable certificate");
  start(routes);
}

HttpTestServer::HttpTestServer(Misbehaviour behaviour)
    : HttpTestServer([this, behaviour](httplib::Server& routes) {
        routes.Get(".*", [this, behaviour](const httplib::Request&, httplib::Response& response) {
          ++requests_;
          misbehave(behaviour, response);
        });
      }) {}

bool HttpTestServer::pause() const {
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  return !stopping_;
}

void HttpTestServer::misbehave(Misbehaviour behaviour, httplib::Response& response) {
  using M = Misbehaviour;
  using Sink = httplib::DataSink;
  constexpr std::string_view partial = "{\"partial\"";  // ten bytes
  switch (behaviour) {
    case M::silent:
      while (pause()) {
      }
      return;
    case M::truncatedBody:
      // A provider that gives up closes the connection short of the declared length.
      response.set_content_provider(1000, "text/plain", [=](size_t, size_t, Sink& sink) {
        sink.write(partial.data(), partial.size());
        return false;
      });
      return;
    case M::endlessBody:
    case M::tricklingBody:
      // Without a length the body runs until the connection closes.
      response.set_content_provider("text/plain", [=, this](size_t, Sink& sink) {
        const std::string chunk(behaviour == M::tricklingBody ? 1 : 65536, 'x');
        return sink.write(chunk.data(), chunk.size()) &&
               (behaviour == M::endlessBody ? !stopping_ : pause());
      });
      return;
  }
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

HttpTestServer::~HttpTestServer() {
  stopping_ = true;  // ends the misbehaving handlers' waits
  server_->stop();
  if (thread_.joinable()) thread_.join();
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

}  // namespace stratovane::testing
