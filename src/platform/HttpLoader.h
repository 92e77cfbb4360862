// Synchronous loading of the bytes behind an address.
#pragma once

#include <optional>
#include <string>

namespace stratovane {

class HttpLoader {
 public:
  virtual ~HttpLoader() = default;
  // Blocks the calling thread. Any body that arrives counts, whatever the HTTP status;
  // none when the load failed (no connection, time-out, truncated or oversized body).
  virtual std::optional<std::string> load(const std::string& url) = 0;
};

}  // namespace stratovane
