// A borrowed read-only step through a JSON value, for chains of subscripts.
#pragma once

#include <concepts>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "json/JSON.h"
#include "json/ParsedDocument.h"

namespace stratovane {

// Steps like JSON's subscripts and gives the same values, errors and accessor results, without
// building a JSON value at each step: inside a parsed document a step is a key lookup or an
// index. The viewed JSON must outlive the view and stay unchanged while the view is used.
//
//   JSONView(answer)["hourly"][3]["weather"][0]["icon"].asString()
class JSONView {
 public:
  explicit JSONView(const JSON& json) noexcept;

  // Inside a parsed document (the usual case) a step is inlined into the caller's chain of
  // steps; only the key lookup is a call.
  [[gnu::always_inline]] JSONView operator[](std::int64_t index) const noexcept {
    if (node_) [[likely]]
      return element(reference_, *node_, index, owned_);
    return stepOutside(index);
  }
  [[gnu::always_inline]] JSONView operator[](std::string_view key) const noexcept {
    if (node_) [[likely]]
      return member(reference_, *node_, key, owned_);
    return stepOutside(key);
  }
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
  using Reference = std::shared_ptr<const void>;
  JSONView stepOutside(std::int64_t index) const noexcept;
  JSONView stepOutside(std::string_view key) const noexcept;
  // A step from a node of the document `reference` keeps alive: a bounds check, or a key lookup,
  // and a new view of the child node.
  static JSONView element(const Reference* reference, const detail::Node& array, std::int64_t index,
                          const std::shared_ptr<const JSON>& owned) noexcept {
    using detail::Node;
    if (array.kind != Node::Kind::array) return failure(JSONError::wrongType);
    if (index < 0 || static_cast<std::uint64_t>(index) >= array.size) {
      return failure(JSONError::indexOutOfBounds);
    }
    return JSONView(reference, detail::ParsedDocument::children(array) + index, owned);
  }
  static JSONView member(const Reference* reference, const detail::Node& object,
                         std::string_view key, const std::shared_ptr<const JSON>& owned) noexcept {
    using detail::Node;
    if (object.kind != Node::Kind::object) return failure(JSONError::wrongType);
    const auto& document = *static_cast<const detail::ParsedDocument*>(reference->get());
    const std::uint32_t position = document.find(object, key);
    if (position == detail::KeyIndex::notFound) return failure(JSONError::notExist);
    return JSONView(
        reference, detail::ParsedDocument::children(object) + 2 * std::size_t{position} + 1, owned);
  }
  JSONView(const Reference* reference, const detail::Node* node,
           const std::shared_ptr<const JSON>& owned) noexcept
      : reference_(reference), node_(node), owned_(owned) {}

  // The view is at a node of a parsed document (node_, with reference_ being what keeps the
  // document alive), else at a JSON value (json_), else at an error (error_).
  const JSON* json_ = nullptr;
  const Reference* reference_ = nullptr;
  const detail::Node* node_ = nullptr;
  std::optional<JSONError> error_;
  std::shared_ptr<const JSON> owned_;
};

}  // namespace stratovane
