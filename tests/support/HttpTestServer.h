// An HTTP server on 127.0.0.1 for tests, with real handlers or ones that break HTTP.
#pragma once

#include <httplib.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

namespace stratovane::testing {

class HttpTestServer {
 public:
  using Routes = std::function<void(httplib::Server&)>;

  // Serves with the handlers that `routes` registers; listening when the constructor returns.
  explicit HttpTestServer(const Routes& routes);

  // The same over TLS with the given certificate and key files (PEM); url() is then https.
  HttpTestServer(const Routes& routes, const std::string& certificate, const std::string& key);

  // Servers that each break HTTP in one way.
  enum class Misbehaviour {
    truncatedBody,  // Content-Length 1000, ten bytes of body, then the connection closes
    silent,         // reads the request and never answers
    endlessBody,    // no Content-Length; body bytes as fast as the client takes them
    tricklingBody,  // no Content-Length; one body byte every 100 ms, forever
  };
  explicit HttpTestServer(Misbehaviour behaviour);

  // Stops listening, ends the handlers and joins the server thread.
  ~HttpTestServer();
  HttpTestServer(const HttpTestServer&) = delete;
  HttpTestServer& operator=(const HttpTestServer&) = delete;

  int port() const { return port_; }
  // How many requests a misbehaving server has read, so that a test can tell a misbehaviour
  // from a failure to reach the server at all.
  int requests() const { return requests_; }
  // "http://127.0.0.1:<port>" followed by `path`.
  std::string url(std::string_view path = "/") const;

 private:
  void start(const Routes& routes);
  void misbehave(Misbehaviour behaviour, httplib::Response& response);
  bool pause() const;  // waits 100 ms; false once the server is stopping

  std::unique_ptr<httplib::Server> server_;
  bool tls_ = false;
  int port_ = 0;
  std::atomic<int> requests_ = 0;
  std::atomic<bool> stopping_ = false;
  std::thread thread_;
};

// Answers GET requests for `path` with `body`.
void serve(httplib::Server& routes, const std::string& path, const std::string& body,
           const char* type = "text/plain", int status = 200);

}  // namespace stratovane::testing
