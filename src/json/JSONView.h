// A borrowed read-only step through a JSON value, for chains of subscripts.
#pragma once

#include <concepts>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "json/JSON.h"

namespace stratovane {

// Steps like JSON's subscripts and gives the same values, errors and accessor results, without
// building a JSON value at each step: inside a parsed document a step is a key lookup or an
// index. The viewed JSON must outlive the view and stay unchanged while the view is used.
//
//   JSONView(answer)["hourly"][3]["weather"][0]["icon"].asString()
class JSONView {
 public:
  explicit JSONView(const JSON& json) noexcept : json_(&json) {}

  JSONView operator[](std::int64_t index) const noexcept;
  JSONView operator[](std::string_view key) const noexcept;
  template <class K>
  requires std::same_as<K, JSONKey> JSONView operator[](const K& step) const noexcept {
    return step.isIndex() ? (*this)[step.indexValue()] : (*this)[step.keyValue()];
  }

  // The value the steps reached, exactly as JSON's subscripts give it; also where a JSON value
  // is wanted (`const JSON alerts = view["alerts"];`).
  JSON json() const;
  operator JSON() const { return json(); }
  Type type() const noexcept;
  std::optional<JSONError> error() const noexcept;
  bool exists() const noexcept { return !error().has_value(); }

  // The accessors the presentation reads, with JSON's results.
  std::optional<std::string> asString() const;
  std::string stringValue() const;
  std::optional<double> asDouble() const;
  double doubleValue() const;
  std::optional<float> asFloat() const;

 private:
  JSONView() noexcept = default;
  static JSONView failure(JSONError error) noexcept;
  // Continues from a JSON value the view keeps alive itself (rarely needed: payloads that are
  // not part of a parsed document).
  static JSONView owning(JSON json);
  // The node the view is at, when it is inside a parsed document.
  const detail::Node* node() const noexcept { return node_; }
  using Reference = std::shared_ptr<const void>;
  // A step from a node of the document `reference` keeps alive.
  static JSONView element(const Reference* reference, const detail::Node& array, std::int64_t index,
                          const std::shared_ptr<const JSON>& owned) noexcept;
  static JSONView member(const Reference* reference, const detail::Node& object,
                         std::string_view key, const std::shared_ptr<const JSON>& owned) noexcept;

  // Exactly one holds: a JSON value (json_), a node of a parsed document (node_, with
  // reference_ being what keeps the document alive), or an error (error_).
  const JSON* json_ = nullptr;
  const Reference* reference_ = nullptr;
  const detail::Node* node_ = nullptr;
  std::optional<JSONError> error_;
  std::shared_ptr<const JSON> owned_;
};

}  // namespace stratovane
