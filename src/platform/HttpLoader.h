// Synchronous loading of the bytes behind an address.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace stratovane {

struct HttpResponse {
  std::string body;
  std::string contentType;  // the Content-Type header as sent; empty when none was
};

class HttpLoader {
 public:
  virtual ~HttpLoader() = default;
  // Blocks the calling thread. Any body that arrives counts, whatever the HTTP status;
  // none when the load failed (no connection, time-out, truncated or oversized body).
  virtual std::optional<std::string> load(const std::string& url) = 0;
  // The same load, with the Content-Type of the final response. Loaders that cannot tell it
  // leave it empty.
  virtual std::optional<HttpResponse> loadWithContentType(const std::string& url) {
    std::optional<std::string> body = load(url);
    if (!body) return std::nullopt;
    return HttpResponse{std::move(*body), {}};
  }
};

}  // namespace stratovane
