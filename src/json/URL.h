// A URL held as its absolute text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace stratovane {

class URL {
 public:
  // A URL is non-empty text of RFC 3986 characters only (unreserved, reserved and "%" followed
  // by two hex digits); anything else forms no URL.
  static std::optional<URL> fromString(std::string_view text);

  const std::string& absoluteString() const noexcept { return text_; }
  friend bool operator==(const URL&, const URL&) = default;

 private:
  explicit URL(std::string text) : text_(std::move(text)) {}
  std::string text_;
};

}  // namespace stratovane
