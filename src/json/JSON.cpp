// Construction of JSON values and classification of their payload.
#include "json/JSON.h"

#include "json/ParsedDocument.h"
#include "json/PayloadAccess.h"

namespace stratovane {

JSON::JSON(const Data& data, ReadingOptions) {
  auto document = detail::ParsedDocument::parse(data.bytes);
  const detail::Node* root = document->root();
  loadNode(std::shared_ptr<const void>(std::move(document)), root);
}

JSON::JSON(const Object& object) {
  if (const Data* data = object.data()) {
    try {
      *this = JSON(*data, ReadingOptions{});
    } catch (const JSONParseError&) {
      // Bytes that are not JSON give the null value; the reason is dropped on purpose.
    }
    return;
  }
  assign(object);
}

JSON JSON::parseJSON(std::string_view text) {
  return JSON(Object(Data{std::string(text)}));
}

std::optional<JSON> JSON::fromRawValue(const Object& rawValue) {
  JSON json(rawValue);
  if (json.type_ == Type::unknown) return std::nullopt;
  return json;
}

JSON JSON::failure(JSONError error) noexcept {
  JSON json;
  json.error_ = error;
  return json;
}

Object JSON::object() const noexcept {
  switch (type_) {
    case Type::array:
      return rawArray_;
    case Type::dictionary:
      return rawDictionary_;
    case Type::string:
      return rawString_;
    case Type::number:
      return rawNumber_;
    case Type::bool_:
      return rawBool_;
    case Type::null:
    case Type::unknown:
      return rawNull_;
  }
  return rawNull_;
}

void JSON::setObject(const Object& value) {
  assign(value);
}

void JSON::assign(Object value) {
  error_.reset();
  switch (value.kind()) {
    case Object::Kind::number:
      if (isBoolNumber(*value.number())) {
        type_ = Type::bool_;
        rawBool_ = value.number()->boolValue();
      } else {
        type_ = Type::number;
        rawNumber_ = *value.number();
      }
      return;
    case Object::Kind::string:
      type_ = Type::string;
      rawString_ = std::move(*const_cast<std::string*>(value.string()));
      return;
    case Object::Kind::null:
    case Object::Kind::emptyOptional:
      type_ = Type::null;
      return;
    case Object::Kind::array:
      type_ = Type::array;
      rawArray_ = std::move(*const_cast<Array*>(value.array()));
      return;
    case Object::Kind::dictionary:
      type_ = Type::dictionary;
      rawDictionary_ = std::move(*const_cast<Dictionary*>(value.dictionary()));
      return;
    case Object::Kind::data:
    case Object::Kind::other:
      type_ = Type::unknown;
      error_ = JSONError::unsupportedType;
      return;
  }
}

}  // namespace stratovane
