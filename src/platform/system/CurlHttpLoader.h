// Synchronous HTTP and HTTPS loading through libcurl.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

#include "platform/HttpLoader.h"

namespace stratovane {

// A plain GET with no headers of its own. Redirects are followed (at most kMaximumRedirects),
// only to http and https; TLS peers are always verified. Every HTTP status counts as loaded.
// The load fails when the connection cannot be made within `idleTimeout`, when no data
// arrives for `idleTimeout` (under 1 byte/s over that span; curl averages the speed over a few
// seconds, so a stall after some data is noticed up to about six seconds later), when the
// whole load takes longer than `totalTimeout`, when the body is cut short, or when it grows
// past `maximumBodySize`.
// Loads may run on several threads at once: each has its own handle.
class CurlHttpLoader final : public HttpLoader {
 public:
  static constexpr std::chrono::seconds kDefaultIdleTimeout{60};
  // Bounds a server that trickles just enough to pass the idle limit.
  static constexpr std::chrono::seconds kDefaultTotalTimeout{600};
  static constexpr std::size_t kDefaultMaximumBodySize = 8 * 1024 * 1024;
  static constexpr long kMaximumRedirects = 10;

  explicit CurlHttpLoader(std::chrono::seconds idleTimeout = kDefaultIdleTimeout,
                          std::size_t maximumBodySize = kDefaultMaximumBodySize,
                          std::chrono::seconds totalTimeout = kDefaultTotalTimeout);

  std::optional<std::string> load(const std::string& url) override;
  std::optional<HttpResponse> loadWithContentType(const std::string& url) override;

 private:
  std::chrono::seconds idleTimeout_;
  std::size_t maximumBodySize_;
  std::chrono::seconds totalTimeout_;
};

}  // namespace stratovane
