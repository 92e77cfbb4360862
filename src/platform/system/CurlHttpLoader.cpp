// Synchronous HTTP and HTTPS loading through libcurl.
#include "platform/system/CurlHttpLoader.h"

#include <curl/curl.h>

#include <algorithm>
#include <limits>
#include <utility>

#include "platform/system/CurlEasy.h"

namespace stratovane {

namespace {

struct Body {
  std::string bytes;
  std::size_t limit;
  bool overLimit = false;
};

// Called by libcurl: must not throw. Returning less than it was given aborts the transfer.
std::size_t appendToBody(char* data, std::size_t size, std::size_t count, void* user) noexcept {
  auto& body = *static_cast<Body*>(user);
  const std::size_t length = size * count;
  if (length > body.limit - body.bytes.size()) {
    body.overLimit = true;
    return 0;
  }
  try {
    // The JSON reader reads a body in place when 64 bytes to spare follow it, and copies it
    // otherwise; growing ahead of need keeps that room at no extra cost.
    constexpr std::size_t readAhead = 64;
    const std::size_t needed = body.bytes.size() + length + readAhead;
    if (needed > body.bytes.capacity()) {
      body.bytes.reserve(std::max(needed, 2 * body.bytes.capacity()));
    }
    body.bytes.append(data, length);
  } catch (...) {
    return 0;
  }
  return length;
}

curl_off_t declaredSizeLimit(std::size_t maximum) {
  constexpr auto largest = static_cast<std::size_t>(std::numeric_limits<curl_off_t>::max());
  return static_cast<curl_off_t>(std::min(maximum, largest));
}

template <typename T>
bool set(CURL* curl, CURLoption option, T value) {
  return curl_easy_setopt(curl, option, value) == CURLE_OK;
}

}  // namespace

CurlHttpLoader::CurlHttpLoader(std::chrono::seconds idleTimeout, std::size_t maximumBodySize,
                               std::chrono::seconds totalTimeout)
    : idleTimeout_(std::max(idleTimeout, std::chrono::seconds(1))),
      maximumBodySize_(maximumBodySize),
      totalTimeout_(std::max(totalTimeout, std::chrono::seconds(1))) {}

std::optional<std::string> CurlHttpLoader::load(const std::string& url) {
  std::optional<HttpResponse> response = loadWithContentType(url);
  if (!response) return std::nullopt;
  return std::move(response->body);  // with the room reserved behind it
}

std::optional<HttpResponse> CurlHttpLoader::loadWithContentType(const std::string& url) {
  CurlEasy easy;
  if (!easy) return std::nullopt;
  CURL* curl = easy.get();
  Body body{.bytes = {}, .limit = maximumBodySize_};
  const long idleSeconds = static_cast<long>(idleTimeout_.count());
  // Every option must take: a load that silently lost TLS verification or a limit would be
  // worse than no load.
  const bool configured =
      set(curl, CURLOPT_URL, url.c_str()) && set(curl, CURLOPT_PROTOCOLS_STR, "http,https") &&
      set(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") &&
      set(curl, CURLOPT_FOLLOWLOCATION, 1L) && set(curl, CURLOPT_MAXREDIRS, kMaximumRedirects) &&
      set(curl, CURLOPT_SSL_VERIFYPEER, 1L) && set(curl, CURLOPT_SSL_VERIFYHOST, 2L) &&
      // Worker threads must not take signals, and curl's DNS time-out would use SIGALRM.
      set(curl, CURLOPT_NOSIGNAL, 1L) && set(curl, CURLOPT_CONNECTTIMEOUT, idleSeconds) &&
      set(curl, CURLOPT_LOW_SPEED_LIMIT, 1L) && set(curl, CURLOPT_LOW_SPEED_TIME, idleSeconds) &&
      set(curl, CURLOPT_TIMEOUT, static_cast<long>(totalTimeout_.count())) &&
      // Refuses a declared oversized body before it arrives; the write callback catches the rest.
      set(curl, CURLOPT_MAXFILESIZE_LARGE, declaredSizeLimit(maximumBodySize_)) &&
      set(curl, CURLOPT_WRITEFUNCTION, &appendToBody) && set(curl, CURLOPT_WRITEDATA, &body);
  if (!configured) return std::nullopt;
  if (curl_easy_perform(curl) != CURLE_OK || body.overLimit) return std::nullopt;
  HttpResponse response{.body = std::move(body.bytes), .contentType = {}};
  // After redirects this is the header of the last response.
  const char* header = nullptr;
  if (curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &header) == CURLE_OK && header != nullptr)
    response.contentType = header;
  return response;
}

}  // namespace stratovane
