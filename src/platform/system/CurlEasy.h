// Owner of one libcurl easy handle.
#pragma once

#include <curl/curl.h>

#include <utility>

namespace stratovane {

class CurlEasy {
 public:
  // Initialises libcurl once per process (thread-safe) and makes a handle; check with bool.
  CurlEasy();
  ~CurlEasy() {
    if (handle_ != nullptr) curl_easy_cleanup(handle_);
  }
  CurlEasy(const CurlEasy&) = delete;
  CurlEasy& operator=(const CurlEasy&) = delete;
  CurlEasy(CurlEasy&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  CurlEasy& operator=(CurlEasy&& other) noexcept {
    if (this != &other) {
      if (handle_ != nullptr) curl_easy_cleanup(handle_);
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }

  CURL* get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != nullptr; }

 private:
  CURL* handle_ = nullptr;
};

}  // namespace stratovane
