// Steps through parsed documents by node, building a JSON value only where one is asked for.
#include "json/JSONView.h"

#include <bit>
#include <utility>

#include "json/ParsedDocument.h"
#include "json/PayloadAccess.h"

namespace stratovane {
namespace {

using detail::Node;
using detail::ParsedDocument;
using detail::PayloadAccess;

const ParsedDocument& documentOf(const std::shared_ptr<const void>& reference) noexcept {
  return *static_cast<const ParsedDocument*>(reference.get());
}

}  // namespace

JSONView::JSONView(const JSON& json) noexcept : json_(&json) {
  // A parsed container is viewed at its node, so that every step stays inside the document.
  const auto viewNode = [this](const auto& container) {
    if (const Node* node = PayloadAccess::node(container)) {
      reference_ = &PayloadAccess::reference(container);
      node_ = node;
    }
  };
  if (json.type() == Type::dictionary) viewNode(json.rawDictionary());
  if (json.type() == Type::array) viewNode(json.rawArray());
}

JSONView JSONView::failure(JSONError error) noexcept {
  JSONView view;
  view.error_ = error;
  return view;
}

JSONView JSONView::owning(JSON json) {
  auto owned = std::make_shared<const JSON>(std::move(json));
  JSONView view(*owned);
  view.owned_ = std::move(owned);
  return view;
}

// Outside a document, a step is JSON's own; a parsed container it reaches is viewed at its node.
JSONView JSONView::stepOutside(std::int64_t index) const noexcept {
  return json_ ? owning((*json_)[index]) : failure(*error_);
}

JSONView JSONView::stepOutside(std::string_view key) const noexcept {
  return json_ ? owning((*json_)[key]) : failure(*error_);
}

JSON JSONView::json() const {
  if (node_) {
    JSON json;
    json.loadNode(*reference_, node_);
    return json;
  }
  if (json_) return *json_;
  return JSON::failure(*error_);
}

Type JSONView::type() const noexcept {
  if (const Node* at = node_) {
    switch (at->kind) {
      case Node::Kind::null:
        return Type::null;
      case Node::Kind::boolean:
        return Type::bool_;
      case Node::Kind::int64:
      case Node::Kind::uint64:
      case Node::Kind::float64:
        return Type::number;
      case Node::Kind::string:
        return Type::string;
      case Node::Kind::array:
        return Type::array;
      case Node::Kind::object:
        return Type::dictionary;
    }
  }
  return json_ ? json_->type() : Type::null;
}

std::optional<JSONError> JSONView::error() const noexcept {
  if (node_) return std::nullopt;
  return json_ ? json_->error() : error_;
}

std::optional<std::string> JSONView::asString() const {
  if (const Node* at = node_) {
    if (at->kind != Node::Kind::string) return std::nullopt;
    return std::string(documentOf(*reference_).text(*at));
  }
  return json_ ? json_->asString() : std::nullopt;
}

std::string JSONView::stringValue() const {
  if (const Node* at = node_; at && at->kind == Node::Kind::string) {
    return std::string(documentOf(*reference_).text(*at));
  }
  return json().stringValue();
}

std::optional<double> JSONView::asDouble() const {
  if (const Node* at = node_) {
    if (const auto number = ParsedDocument::numberAt(*at)) return number->doubleValue();
  }
  return json().asDouble();
}

double JSONView::doubleValue() const {
  if (const Node* at = node_) {
    if (const auto number = ParsedDocument::numberAt(*at)) return number->doubleValue();
  }
  return json().doubleValue();
}

std::optional<float> JSONView::asFloat() const {
  if (const Node* at = node_) {
    if (const auto number = ParsedDocument::numberAt(*at)) return number->floatValue();
  }
  return json().asFloat();
}

}  // namespace stratovane
