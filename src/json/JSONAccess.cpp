// Subscripts and typed accessors of JSON values.
#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

#include "json/JSON.h"
#include "json/JSONView.h"
#include "json/ParsedDocument.h"
#include "json/PayloadAccess.h"
#include "json/Utf8.h"

namespace stratovane {
namespace {

bool equalsIgnoringCase(std::string_view text, std::string_view lower) {
  if (text.size() != lower.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != lower[i]) return false;
  }
  return true;
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// The decimal number at the start of a text, as far as it goes; no digits gives 0.
Number leadingDecimal(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  const std::size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const std::size_t digitsStart = i;
  while (i < text.size() && isDigit(text[i])) ++i;
  const std::size_t integerDigits = i - digitsStart;
  std::size_t fractionDigits = 0;
  bool integral = true;
  if (i < text.size() && text[i] == '.') {
    std::size_t j = i + 1;
    while (j < text.size() && isDigit(text[j])) ++j;
    fractionDigits = j - i - 1;
    if (integerDigits + fractionDigits > 0) {
      i = j;
      integral = false;
    }
  }
  if (integerDigits + fractionDigits == 0) return Number(0.0);
  long exponent = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    bool negativeExponent = false;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) negativeExponent = text[j++] == '-';
    const std::size_t exponentStart = j;
    while (j < text.size() && isDigit(text[j])) ++j;
    if (j > exponentStart) {
      std::from_chars(text.data() + exponentStart, text.data() + std::min(j, exponentStart + 9),
                      exponent);
      if (negativeExponent) exponent = -exponent;
      i = j;
      integral = false;
    }
  }
  std::string_view number = text.substr(start, i - start);
  const bool negative = number[0] == '-';
  if (number[0] == '+') number.remove_prefix(1);
  const char* first = number.data();
  const char* last = number.data() + number.size();
  if (integral) {
    if (negative) {
      std::int64_t value;
      if (std::from_chars(first, last, value).ec == std::errc()) return Number(value);
    } else {
      std::uint64_t value;
      if (std::from_chars(first, last, value).ec == std::errc()) {
        if (value <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
          return Number(static_cast<std::int64_t>(value));
        }
        return Number(value);
      }
    }
  }
  double value = 0;
  const auto result = std::from_chars(first, last, value);
  if (result.ec == std::errc::result_out_of_range) {
    // Decide between overflow and underflow from the decimal magnitude.
    std::size_t leadingZeros = 0;
    std::size_t p = digitsStart;
    while (p < text.size() && (text[p] == '0' || text[p] == '.')) {
      if (text[p] == '0') ++leadingZeros;
      ++p;
    }
    const long magnitude = static_cast<long>(integerDigits) -
                           static_cast<long>(std::min(leadingZeros, integerDigits)) + exponent;
    if (magnitude > 0) {
      value = negative ? -std::numeric_limits<double>::infinity()
                       : std::numeric_limits<double>::infinity();
    } else {
      value = negative ? -0.0 : 0.0;
    }
  }
  return Number(value);
}

bool isQueryAllowed(unsigned char c) {
  if (c >= 0x80) return false;
  if (std::isalnum(c)) return true;
  return std::string_view("!$&'()*+,-./:;=?@_~").find(static_cast<char>(c)) !=
         std::string_view::npos;
}

bool hasPercentEscape(std::string_view text) {
  for (std::size_t i = 0; i + 2 < text.size(); ++i) {
    if (text[i] == '%' && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
      return true;
    }
  }
  return false;
}

}  // namespace

// ---- Loading nodes of parsed documents (here, so the steps below can inline it)

namespace {

template <class Document>
inline void load(Document&& document, const detail::Node* at, Type& type, Number& number,
                 bool& boolean, std::string& text, Array& array, Dictionary& dictionary) noexcept {
  using detail::Node;
  const Node& node = *at;
  switch (node.kind) {
    case Node::Kind::null:
      type = Type::null;
      return;
    case Node::Kind::boolean:
      type = Type::bool_;
      boolean = node.value != 0;
      return;
    case Node::Kind::int64:
      type = Type::number;
      number = Number(static_cast<std::int64_t>(node.value));
      return;
    case Node::Kind::uint64:
      type = Type::number;
      number = Number(node.value);
      return;
    case Node::Kind::float64:
      type = Type::number;
      number = Number(std::bit_cast<double>(node.value));
      return;
    case Node::Kind::string:
      type = Type::string;
      // clear() then append() is cheaper than the general replace behind assign().
      text.clear();
      text.append(static_cast<const detail::ParsedDocument*>(document.get())->text(node));
      return;
    case Node::Kind::array:
      type = Type::array;
      detail::PayloadAccess::setView(array, std::forward<Document>(document), at);
      return;
    case Node::Kind::object:
      type = Type::dictionary;
      detail::PayloadAccess::setView(dictionary, std::forward<Document>(document), at);
      return;
  }
}

}  // namespace

void JSON::loadNode(const std::shared_ptr<const void>& document,
                    const detail::Node* node) noexcept {
  error_.reset();
  load(document, node, type_, rawNumber_, rawBool_, rawString_, rawArray_, rawDictionary_);
}

void JSON::loadNode(std::shared_ptr<const void>&& document, const detail::Node* node) noexcept {
  error_.reset();
  load(std::move(document), node, type_, rawNumber_, rawBool_, rawString_, rawArray_,
       rawDictionary_);
}

// ---- Subscripts

// Loads a child node of the receiver's viewed payload into `result`. An expiring receiver hands
// its reference to the document over instead of sharing it.
template <class Self, class Payload>
[[gnu::always_inline]] inline void JSON::loadChild(Payload& payload, const detail::Node* child,
                                                   JSON& result) noexcept {
  auto& reference = detail::PayloadAccess::reference(payload);
  if constexpr (std::is_lvalue_reference_v<Self>) {
    load(reference, child, result.type_, result.rawNumber_, result.rawBool_, result.rawString_,
         result.rawArray_, result.rawDictionary_);
  } else {
    load(std::move(reference), child, result.type_, result.rawNumber_, result.rawBool_,
         result.rawString_, result.rawArray_, result.rawDictionary_);
    detail::PayloadAccess::dropIfReleased(payload);
  }
}

// Every path returns `result`, so it is built in the caller's storage and never copied.
// Flattened: lookup and loading inline into one body, the hot path of every read.
template <class Self>
[[gnu::flatten]] JSON JSON::indexStep(Self&& self, std::int64_t index) noexcept {
  JSON result;
  if (self.type_ != Type::array) {
    result.error_ = self.error_.value_or(JSONError::wrongType);
    return result;
  }
  const Array& array = self.rawArray_;
  const detail::Node* node = detail::PayloadAccess::node(array);
  const std::size_t size = node ? node->size : array.size();
  if (index < 0 || static_cast<std::uint64_t>(index) >= size) {
    result.error_ = JSONError::indexOutOfBounds;
    return result;
  }
  if (!node) {
    result = JSON(array[static_cast<std::size_t>(index)]);
    return result;
  }
  const detail::Node* child = detail::ParsedDocument::children(*node) + index;
  loadChild<Self>(self.rawArray_, child, result);
  return result;
}

template <class Self>
[[gnu::flatten]] JSON JSON::keyStep(Self&& self, std::string_view key) noexcept {
  JSON result;
  if (self.type_ != Type::dictionary) {
    result.error_ = self.error_.value_or(JSONError::wrongType);
    return result;
  }
  const Dictionary& dictionary = self.rawDictionary_;
  const detail::ParsedDocument* document = detail::PayloadAccess::document(dictionary);
  if (!document) {
    if (auto position = dictionary.position(key)) {
      result = JSON(dictionary.valueAt(*position));
    } else {
      result.error_ = JSONError::notExist;
    }
    return result;
  }
  const detail::Node& object = *detail::PayloadAccess::node(dictionary);
  const std::uint32_t position = document->find(object, key);
  if (position == detail::KeyIndex::notFound) {
    result.error_ = JSONError::notExist;
    return result;
  }
  const detail::Node* child =
      detail::ParsedDocument::children(object) + 2 * std::size_t{position} + 1;
  loadChild<Self>(self.rawDictionary_, child, result);
  return result;
}

JSON JSON::operator[](std::int64_t index) const& noexcept {
  return indexStep(*this, index);
}
JSON JSON::operator[](std::int64_t index) && noexcept {
  return indexStep(std::move(*this), index);
}
JSON JSON::operator[](std::string_view key) const& noexcept {
  return keyStep(*this, key);
}
JSON JSON::operator[](std::string_view key) && noexcept {
  return keyStep(std::move(*this), key);
}

namespace {

// A path steps by node and builds one value, at its end.
template <class Path>
JSON readPath(const JSON& json, const Path& path) noexcept {
  if (path.size() == 0) return json;
  JSONView view(json);
  for (const JSONKey& step : path) view = view[step];
  return view.json();
}

}  // namespace

JSON JSON::operator[](const std::vector<JSONKey>& path) const noexcept {
  return readPath(*this, path);
}

JSON JSON::operator[](std::initializer_list<JSONKey> path) const noexcept {
  return readPath(*this, path);
}

void JSON::set(std::int64_t index, const JSON& value) {
  if (type_ != Type::array || value.error_) return;
  if (index < 0 || static_cast<std::uint64_t>(index) >= rawArray_.size()) return;
  rawArray_.set(static_cast<std::size_t>(index), value.object());
}

void JSON::set(std::string_view key, const JSON& value) {
  if (type_ != Type::dictionary || value.error_) return;
  rawDictionary_.set(key, value.object());
}

void JSON::set(const std::vector<JSONKey>& path, const JSON& value) {
  if (path.empty()) return;
  if (path.size() == 1) return set(path.front(), value);
  if (value.error_) return;
  // Read down into temporaries, then write back up. Any temporary that carries an error would
  // refuse its write and every write-back above it, so stop at once.
  std::vector<JSON> temporaries;
  temporaries.reserve(path.size() - 1);
  const JSON* parent = this;
  for (std::size_t i = 0; i + 1 < path.size(); ++i) {
    temporaries.push_back((*parent)[path[i]]);
    if (temporaries.back().error_) return;
    parent = &temporaries.back();
  }
  temporaries.back().set(path.back(), value);
  for (std::size_t i = temporaries.size() - 1; i > 0; --i) {
    temporaries[i - 1].set(path[i], temporaries[i]);
  }
  set(path.front(), temporaries.front());
}

void JSON::set(std::initializer_list<JSONKey> path, const JSON& value) {
  set(std::vector<JSONKey>(path), value);
}

// ---- Typed accessors

std::optional<std::string> JSON::asString() const& {
  if (type_ == Type::string) return rawString_;
  return std::nullopt;
}

std::optional<std::string> JSON::asString() && {
  if (type_ == Type::string) return std::move(rawString_);
  return std::nullopt;
}

std::string JSON::stringValue() && {
  if (type_ == Type::string) return std::move(rawString_);
  return std::as_const(*this).stringValue();
}

std::string JSON::stringValue() const& {
  switch (type_) {
    case Type::string:
      return rawString_;
    case Type::number:
      return rawNumber_.stringValue();
    case Type::bool_:
      return rawBool_ ? "true" : "false";
    default:
      return {};
  }
}

std::optional<Number> JSON::asNumber() const noexcept {
  if (type_ == Type::number) return rawNumber_;
  if (type_ == Type::bool_) return Number(std::int64_t{rawBool_ ? 1 : 0});
  return std::nullopt;
}

Number JSON::numberValue() const noexcept {
  switch (type_) {
    case Type::number:
      return rawNumber_;
    case Type::bool_:
      return Number(std::int64_t{rawBool_ ? 1 : 0});
    case Type::string:
      return leadingDecimal(rawString_);
    default:
      return Number(0.0);
  }
}

std::optional<bool> JSON::asBool() const noexcept {
  if (type_ == Type::bool_) return rawBool_;
  return std::nullopt;
}

bool JSON::boolValue() const noexcept {
  switch (type_) {
    case Type::bool_:
      return rawBool_;
    case Type::number:
      return rawNumber_.boolValue();
    case Type::string:
      for (std::string_view word : {"true", "y", "t", "yes", "1"}) {
        if (equalsIgnoringCase(rawString_, word)) return true;
      }
      return false;
    default:
      return false;
  }
}

std::optional<Null> JSON::asNull() const noexcept {
  if (type_ == Type::null) return rawNull_;
  return std::nullopt;
}

std::optional<Array> JSON::arrayObject() const noexcept {
  if (type_ == Type::array) return rawArray_;
  return std::nullopt;
}

std::optional<std::vector<JSON>> JSON::asArray() const {
  if (type_ != Type::array) return std::nullopt;
  std::vector<JSON> items;
  items.reserve(rawArray_.size());
  for (Object item : rawArray_) items.emplace_back(item);
  return items;
}

std::vector<JSON> JSON::arrayValue() const {
  return asArray().value_or(std::vector<JSON>{});
}

std::optional<Dictionary> JSON::dictionaryObject() const noexcept {
  if (type_ == Type::dictionary) return rawDictionary_;
  return std::nullopt;
}

std::optional<std::map<std::string, JSON, std::less<>>> JSON::asDictionary() const {
  if (type_ != Type::dictionary) return std::nullopt;
  std::map<std::string, JSON, std::less<>> entries;
  for (std::size_t p = 0; p < rawDictionary_.size(); ++p) {
    entries.emplace(std::string(rawDictionary_.keyAt(p)), JSON(rawDictionary_.valueAt(p)));
  }
  return entries;
}

std::map<std::string, JSON, std::less<>> JSON::dictionaryValue() const {
  return asDictionary().value_or(std::map<std::string, JSON, std::less<>>{});
}

std::optional<URL> JSON::asURL() const {
  if (type_ != Type::string) return std::nullopt;
  if (hasPercentEscape(rawString_)) return URL::fromString(rawString_);
  if (!detail::isValidUTF8(rawString_)) return std::nullopt;
  static constexpr char hex[] = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(rawString_.size());
  for (unsigned char c : rawString_) {
    if (isQueryAllowed(c)) {
      encoded += static_cast<char>(c);
    } else {
      encoded += '%';
      encoded += hex[c >> 4];
      encoded += hex[c & 0xF];
    }
  }
  return URL::fromString(encoded);
}

// ---- Numeric family

#define STRATOVANE_NUMERIC_ACCESSORS(Optional, Value, T, getter) \
  std::optional<T> JSON::Optional() const noexcept {             \
    if (type_ == Type::number) return rawNumber_.getter();       \
    auto number = asNumber();                                    \
    if (!number) return std::nullopt;                            \
    return number->getter();                                     \
  }                                                              \
  T JSON::Value() const noexcept {                               \
    if (type_ == Type::number) return rawNumber_.getter();       \
    return numberValue().getter();                               \
  }

STRATOVANE_NUMERIC_ACCESSORS(asDouble, doubleValue, double, doubleValue)
STRATOVANE_NUMERIC_ACCESSORS(asFloat, floatValue, float, floatValue)
STRATOVANE_NUMERIC_ACCESSORS(asInt, intValue, std::int64_t, integerValue)
STRATOVANE_NUMERIC_ACCESSORS(asUInt, uIntValue, std::uint64_t, unsignedIntegerValue)
STRATOVANE_NUMERIC_ACCESSORS(asInt8, int8Value, std::int8_t, charValue)
STRATOVANE_NUMERIC_ACCESSORS(asUInt8, uInt8Value, std::uint8_t, unsignedCharValue)
STRATOVANE_NUMERIC_ACCESSORS(asInt16, int16Value, std::int16_t, shortValue)
STRATOVANE_NUMERIC_ACCESSORS(asUInt16, uInt16Value, std::uint16_t, unsignedShortValue)
STRATOVANE_NUMERIC_ACCESSORS(asInt32, int32Value, std::int32_t, intValue)
STRATOVANE_NUMERIC_ACCESSORS(asUInt32, uInt32Value, std::uint32_t, unsignedIntValue)
STRATOVANE_NUMERIC_ACCESSORS(asInt64, int64Value, std::int64_t, longLongValue)
STRATOVANE_NUMERIC_ACCESSORS(asUInt64, uInt64Value, std::uint64_t, unsignedLongLongValue)

#undef STRATOVANE_NUMERIC_ACCESSORS

// ---- Writes

void JSON::setAsString(std::optional<std::string> value) {
  if (value) {
    assign(std::move(*value));
  } else {
    assign(Null{});
  }
}
void JSON::setStringValue(std::string value) {
  assign(std::move(value));
}
void JSON::setAsNumber(std::optional<Number> value) {
  assign(value ? Object(*value) : Null{});
}
void JSON::setNumberValue(Number value) {
  assign(value);
}
void JSON::setAsBool(std::optional<bool> value) {
  assign(value ? Object(*value) : Null{});
}
void JSON::setBoolValue(bool value) {
  assign(value);
}
void JSON::setAsNull(std::optional<Null>) {
  assign(Null{});
}
void JSON::setArrayObject(std::optional<Array> value) {
  assign(value ? Object(std::move(*value)) : Null{});
}
void JSON::setDictionaryObject(std::optional<Dictionary> value) {
  assign(value ? Object(std::move(*value)) : Null{});
}
void JSON::setAsURL(const std::optional<URL>& value) {
  assign(value ? Object(value->absoluteString()) : Null{});
}

#define STRATOVANE_NUMERIC_WRITERS(Optional, Value, T, Stored)            \
  void JSON::Optional(std::optional<T> value) {                           \
    assign(value ? Object(Number(static_cast<Stored>(*value))) : Null{}); \
  }                                                                       \
  void JSON::Value(T value) {                                             \
    assign(Number(static_cast<Stored>(value)));                           \
  }

STRATOVANE_NUMERIC_WRITERS(setAsDouble, setDoubleValue, double, double)
STRATOVANE_NUMERIC_WRITERS(setAsFloat, setFloatValue, float, float)
STRATOVANE_NUMERIC_WRITERS(setAsInt, setIntValue, std::int64_t, std::int64_t)
STRATOVANE_NUMERIC_WRITERS(setAsUInt, setUIntValue, std::uint64_t, std::uint64_t)
// The 8-bit signed member is written widened to the platform integer.
STRATOVANE_NUMERIC_WRITERS(setAsInt8, setInt8Value, std::int8_t, std::int64_t)
STRATOVANE_NUMERIC_WRITERS(setAsUInt8, setUInt8Value, std::uint8_t, std::uint8_t)
STRATOVANE_NUMERIC_WRITERS(setAsInt16, setInt16Value, std::int16_t, std::int16_t)
STRATOVANE_NUMERIC_WRITERS(setAsUInt16, setUInt16Value, std::uint16_t, std::uint16_t)
STRATOVANE_NUMERIC_WRITERS(setAsInt32, setInt32Value, std::int32_t, std::int32_t)
STRATOVANE_NUMERIC_WRITERS(setAsUInt32, setUInt32Value, std::uint32_t, std::uint32_t)
STRATOVANE_NUMERIC_WRITERS(setAsInt64, setInt64Value, std::int64_t, std::int64_t)
STRATOVANE_NUMERIC_WRITERS(setAsUInt64, setUInt64Value, std::uint64_t, std::uint64_t)

#undef STRATOVANE_NUMERIC_WRITERS

// ---- Collection view

JSON::Index JSON::startIndex() const noexcept {
  if (type_ == Type::array) return Index::array(0);
  if (type_ == Type::dictionary) return Index::dictionary(0);
  return Index::null();
}

JSON::Index JSON::endIndex() const noexcept {
  if (type_ == Type::array) return Index::array(rawArray_.size());
  if (type_ == Type::dictionary) return Index::dictionary(rawDictionary_.size());
  return Index::null();
}

JSON::Index JSON::indexAfter(const Index& position) const noexcept {
  switch (position.kind()) {
    case Index::Case::array:
      return Index::array(position.position() + 1);
    case Index::Case::dictionary:
      return Index::dictionary(position.position() + 1);
    case Index::Case::null:
      return Index::null();
  }
  return Index::null();
}

std::pair<std::string, JSON> JSON::element(const Index& position) const {
  const std::size_t p = position.position();
  if (position.kind() == Index::Case::array && type_ == Type::array && p < rawArray_.size()) {
    return {std::to_string(p), JSON(rawArray_[p])};
  }
  if (position.kind() == Index::Case::dictionary && type_ == Type::dictionary &&
      p < rawDictionary_.size()) {
    return {std::string(rawDictionary_.keyAt(p)), JSON(rawDictionary_.valueAt(p))};
  }
  return {std::string(), JSON()};
}

std::size_t JSON::count() const noexcept {
  if (type_ == Type::array) return rawArray_.size();
  if (type_ == Type::dictionary) return rawDictionary_.size();
  return 0;
}

JSON::Iterator JSON::begin() const noexcept {
  return {this, startIndex()};
}
JSON::Iterator JSON::end() const noexcept {
  return {this, endIndex()};
}

}  // namespace stratovane
