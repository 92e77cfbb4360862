// The JSON value: one datum of any JSON kind with its kind and an optional error.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <iosfwd>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "json/Array.h"
#include "json/Data.h"
#include "json/Dictionary.h"
#include "json/Encoding.h"
#include "json/JSONError.h"
#include "json/JSONKey.h"
#include "json/JSONParseError.h"
#include "json/Null.h"
#include "json/Number.h"
#include "json/Object.h"
#include "json/ReadingOptions.h"
#include "json/Type.h"
#include "json/URL.h"
#include "json/WritingOptions.h"
#include "json/writingOptionsKeys.h"

namespace stratovane {

class JSON;

namespace detail {
template <class T>
concept JSONLiteral =
    !std::same_as<std::remove_cvref_t<T>, JSON> && !std::same_as<std::remove_cvref_t<T>, Object> &&
    std::is_constructible_v<Object, T>;
}  // namespace detail

// A value type: copies are O(1) and share their payload until one of them changes.
//
// Kinds and payloads: the kind (`type`) names the one meaningful payload slot; the other slots
// keep whatever they held before. A value never holds another JSON value in its payload.
//
// Reads never fail and never throw: a step that misses gives a null value whose `error` says why
// (the first failing step's error passes along a chain), and every `...Value` accessor has a
// fixed default for values of another kind. Writes that do not apply change nothing.
//
// Construction:
//   JSON(Data{bytes}, ReadingOptions{})   parses; throws JSONParseError for bytes that are not JSON
//   JSON(Data{bytes})                     parses; bytes that are not JSON give the null value
//   JSON::parseJSON("[1, 2]")             the same from text
//   JSON(5), JSON(21.6), JSON(true), JSON("text"), JSON(nullptr)
//   JSON(Array{1, "two", JSON(3)})        kind array; JSON elements are stored as their payloads
//   JSON(Dictionary{{"a", 1}, {"b", Array{2}}})   kind dictionary; a later duplicate key wins
//   JSON(Object::other(std::any(x)))      kind unknown with error unsupportedType
//
// Numbers follow Number's documented conversions (saturating, NaN gives 0, never undefined).
class JSON {
 public:
  class Index;
  class Iterator;

  // The null value with no error.
  JSON() noexcept = default;
  // Parses strict RFC 8259 JSON (top-level scalars included); containers nested more than 1024
  // levels deep are rejected. Throws JSONParseError.
  JSON(const Data& data, ReadingOptions options);
  // Any dynamic value; bytes are parsed, and bytes that are not JSON give the null value.
  explicit JSON(const Object& object);
  template <detail::JSONLiteral T>
  JSON(T&& literal) : JSON(Object(std::forward<T>(literal))) {}

  // The text's bytes parsed; text that is not JSON gives the null value without an error.
  static JSON parseJSON(std::string_view text);
  static JSON null() noexcept { return JSON(); }
  // Nothing when the value would be of kind unknown.
  static std::optional<JSON> fromRawValue(const Object& rawValue);

  Type type() const noexcept { return type_; }
  std::optional<JSONError> error() const noexcept { return error_; }

  // The payload of the current kind as a dynamic value (a Boolean number for kind bool_, the
  // null object for null and unknown). Assigning it clears the error and classifies the value.
  Object object() const noexcept;
  Object rawValue() const noexcept { return object(); }
  void setObject(const Object& value);

  const Array& rawArray() const noexcept { return rawArray_; }
  const Dictionary& rawDictionary() const noexcept { return rawDictionary_; }
  const std::string& rawString() const noexcept { return rawString_; }
  const Number& rawNumber() const noexcept { return rawNumber_; }
  const Null& rawNull() const noexcept { return rawNull_; }
  bool rawBool() const noexcept { return rawBool_; }

  // ---- Subscripts: json[0], json["current"], json[JSONKey(...)], json[{"a", 0, "b"}],
  // json(e1, e2, ...). An index step on a non-array, or a key step on a non-dictionary, gives
  // the receiver's own error if it has one, else wrongType.
  // The rvalue forms pass the document along a chain of steps instead of sharing it again.
  JSON operator[](std::int64_t index) const& noexcept;
  JSON operator[](std::int64_t index) && noexcept;
  JSON operator[](std::string_view key) const& noexcept;
  JSON operator[](std::string_view key) && noexcept;
  template <class K>
  requires std::same_as<K, JSONKey> JSON operator[](const K& step) const noexcept {
    return step.isIndex() ? (*this)[step.indexValue()] : (*this)[step.keyValue()];
  }
  JSON operator[](const std::vector<JSONKey>& path) const noexcept;
  JSON operator[](std::initializer_list<JSONKey> path) const noexcept;
  template <JSONSubscriptType... Steps>
  JSON operator()(const Steps&... steps) const noexcept {
    return (*this)[{jsonKey(steps)...}];
  }

  // Writes. An index write applies only to an array, inside its bounds; a key write only to a
  // dictionary (it adds a missing key). A value carrying an error is never written. A path reads
  // each step into a temporary, writes the rest into it and writes it back, so it never creates
  // containers and a miss on the way changes nothing.
  void set(std::int64_t index, const JSON& value);
  void set(std::string_view key, const JSON& value);
  template <class K>
  requires std::same_as<K, JSONKey>
  void set(const K& step, const JSON& value) {
    if (step.isIndex()) {
      set(step.indexValue(), value);
    } else {
      set(step.keyValue(), value);
    }
  }
  void set(const std::vector<JSONKey>& path, const JSON& value);
  void set(std::initializer_list<JSONKey> path, const JSON& value);

  // ---- Typed accessors. `as...` is absent for other kinds; `...Value` has a default.
  // The rvalue forms move the text out of a temporary value instead of copying it.
  std::optional<std::string> asString() const&;
  std::optional<std::string> asString() &&;
  // Text; a number's text form; "true"/"false"; otherwise "".
  std::string stringValue() const&;
  std::string stringValue() &&;
  std::optional<Number> asNumber() const noexcept;  // numbers; Booleans as integer 1 or 0
  // Also texts, read leniently as a decimal number: leading blanks, sign, digits, fraction and
  // exponent as far as they go ("12.5abc" gives 12.5); no digits gives 0; integers keep their
  // exact value; magnitudes beyond double give +/-infinity. Other kinds give 0.0.
  Number numberValue() const noexcept;
  std::optional<bool> asBool() const noexcept;
  // Booleans; numbers other than 0; texts "true", "y", "t", "yes", "1" in any case.
  bool boolValue() const noexcept;
  std::optional<Null> asNull() const noexcept;
  std::optional<Array> arrayObject() const noexcept;
  std::optional<std::vector<JSON>> asArray() const;
  std::vector<JSON> arrayValue() const;
  std::optional<Dictionary> dictionaryObject() const noexcept;
  // Keys sorted by byte order.
  std::optional<std::map<std::string, JSON, std::less<>>> asDictionary() const;
  std::map<std::string, JSON, std::less<>> dictionaryValue() const;
  // A text with a percent escape is taken as it is; any other text is percent-encoded with the
  // characters allowed in a URL query first. Absent for other kinds and text that forms no URL.
  std::optional<URL> asURL() const;
  // Whether there is no error.
  bool exists() const noexcept { return !error_.has_value(); }

  // Numeric family: `asX` converts asNumber, `xValue` converts numberValue.
  std::optional<double> asDouble() const noexcept;
  double doubleValue() const noexcept;
  std::optional<float> asFloat() const noexcept;
  float floatValue() const noexcept;
  std::optional<std::int64_t> asInt() const noexcept;
  std::int64_t intValue() const noexcept;
  std::optional<std::uint64_t> asUInt() const noexcept;
  std::uint64_t uIntValue() const noexcept;
  std::optional<std::int8_t> asInt8() const noexcept;
  std::int8_t int8Value() const noexcept;
  std::optional<std::uint8_t> asUInt8() const noexcept;
  std::uint8_t uInt8Value() const noexcept;
  std::optional<std::int16_t> asInt16() const noexcept;
  std::int16_t int16Value() const noexcept;
  std::optional<std::uint16_t> asUInt16() const noexcept;
  std::uint16_t uInt16Value() const noexcept;
  std::optional<std::int32_t> asInt32() const noexcept;
  std::int32_t int32Value() const noexcept;
  std::optional<std::uint32_t> asUInt32() const noexcept;
  std::uint32_t uInt32Value() const noexcept;
  std::optional<std::int64_t> asInt64() const noexcept;
  std::int64_t int64Value() const noexcept;
  std::optional<std::uint64_t> asUInt64() const noexcept;
  std::uint64_t uInt64Value() const noexcept;

  // Write forms; absent stores the null object. Each ends in an assignment to `object`.
  void setAsString(std::optional<std::string> value);
  void setStringValue(std::string value);
  void setAsNumber(std::optional<Number> value);
  void setNumberValue(Number value);
  void setAsBool(std::optional<bool> value);
  void setBoolValue(bool value);
  void setAsNull(std::optional<Null> value = std::nullopt);  // the null object, whatever is given
  void setArrayObject(std::optional<Array> value);
  void setDictionaryObject(std::optional<Dictionary> value);
  void setAsURL(const std::optional<URL>& value);
  void setAsDouble(std::optional<double> value);
  void setDoubleValue(double value);
  void setAsFloat(std::optional<float> value);
  void setFloatValue(float value);
  void setAsInt(std::optional<std::int64_t> value);
  void setIntValue(std::int64_t value);
  void setAsUInt(std::optional<std::uint64_t> value);
  void setUIntValue(std::uint64_t value);
  void setAsInt8(std::optional<std::int8_t> value);
  void setInt8Value(std::int8_t value);
  void setAsUInt8(std::optional<std::uint8_t> value);
  void setUInt8Value(std::uint8_t value);
  void setAsInt16(std::optional<std::int16_t> value);
  void setInt16Value(std::int16_t value);
  void setAsUInt16(std::optional<std::uint16_t> value);
  void setUInt16Value(std::uint16_t value);
  void setAsInt32(std::optional<std::int32_t> value);
  void setInt32Value(std::int32_t value);
  void setAsUInt32(std::optional<std::uint32_t> value);
  void setUInt32Value(std::uint32_t value);
  void setAsInt64(std::optional<std::int64_t> value);
  void setInt64Value(std::int64_t value);
  void setAsUInt64(std::optional<std::uint64_t> value);
  void setUInt64Value(std::uint64_t value);

  // ---- Collection view: (key, value) pairs; arrays give ("0", first), ("1", second), ...;
  // dictionaries their entries in order; every other kind is empty.
  Index startIndex() const noexcept;
  Index endIndex() const noexcept;
  Index indexAfter(const Index& position) const noexcept;
  // A position outside the value, or of the wrong case, gives ("", the null value).
  std::pair<std::string, JSON> element(const Index& position) const;
  std::size_t count() const noexcept;
  bool isEmpty() const noexcept { return count() == 0; }
  Iterator begin() const noexcept;
  Iterator end() const noexcept;

  // ---- Serialisation. The writer produces standard JSON in UTF-8: control characters escaped,
  // numbers in their text form, pretty printing with two-space indents. It rejects (invalidJSON)
  // non-finite numbers, text that is not valid UTF-8, bytes, empty optionals and other objects
  // inside containers, and containers nested more than 1024 levels deep.
  // Throws std::system_error with JSONError::invalidJSON.
  Data serializedData(WritingOptions options = WritingOptions::prettyPrinted) const;
  // Scalars give their bare text (a string without quotes). On failure one line goes to
  // standard output and the result is absent.
  std::optional<std::string> serializedString(
      Encoding encoding = Encoding::utf8,
      WritingOptions options = WritingOptions::prettyPrinted) const;
  // With castNilToNSNull true, containers are written by hand: keys are not escaped, texts only
  // get backslashes and double quotes escaped. The depth budget (maxObjextDepth, default 10) is
  // capped at 1025, so deep values fail instead of recursing without bound.
  std::optional<std::string> serializedString(const WritingOptionsMap& options) const;
  // serializedString() or "unknown".
  std::string description() const;
  std::string debugDescription() const { return description(); }
  friend std::ostream& operator<<(std::ostream& out, const JSON& json);

  // ---- Comparison. Errors are ignored. Equal: same kind and equal payloads (numbers by value,
  // lists and maps by their elements, maps ignoring order, null always); unknown never.
  // Ordering applies to numbers and texts; for bool, array and dictionary `<=`/`>=` mean
  // equality; null `<=`/`>=` are true; everything else is false.
  friend bool operator==(const JSON& a, const JSON& b) noexcept;
  friend bool operator<(const JSON& a, const JSON& b) noexcept;
  friend bool operator>(const JSON& a, const JSON& b) noexcept;
  friend bool operator<=(const JSON& a, const JSON& b) noexcept;
  friend bool operator>=(const JSON& a, const JSON& b) noexcept;

  // ---- Merging. Arrays concatenate, dictionaries merge key by key (nested values of different
  // kinds replace the receiver's), other kinds take the other value. Kinds that differ at the
  // top throw std::system_error with JSONError::wrongType and leave the receiver unchanged.
  void merge(const JSON& other);
  JSON merged(const JSON& other) const;

 private:
  friend class JSONView;
  static JSON failure(JSONError error) noexcept;
  void assign(Object value);
  // Fills this value from a node of a parsed document; containers become views of it.
  // `document` holds a ParsedDocument.
  void loadNode(const std::shared_ptr<const void>& document, const detail::Node* node) noexcept;
  void loadNode(std::shared_ptr<const void>&& document, const detail::Node* node) noexcept;
  template <class Self>
  static JSON indexStep(Self&& self, std::int64_t index) noexcept;
  template <class Self>
  static JSON keyStep(Self&& self, std::string_view key) noexcept;
  template <class Self, class Payload>
  static void loadChild(Payload& payload, const detail::Node* child, JSON& result) noexcept;

  Array rawArray_;
  Dictionary rawDictionary_;
  std::string rawString_;
  Number rawNumber_;
  Null rawNull_;
  bool rawBool_ = false;
  Type type_ = Type::null;
  std::optional<JSONError> error_;
};

// A position in the collection view of a JSON value.
class JSON::Index {
 public:
  enum class Case { array, dictionary, null };

  static Index array(std::size_t position) noexcept { return {Case::array, position}; }
  static Index dictionary(std::size_t position) noexcept { return {Case::dictionary, position}; }
  static Index null() noexcept { return {Case::null, 0}; }

  Case kind() const noexcept { return case_; }
  std::size_t position() const noexcept { return position_; }

  // Positions of different cases are never equal and never less than each other.
  friend bool operator==(const Index& a, const Index& b) noexcept {
    return a.case_ == b.case_ && a.position_ == b.position_;
  }
  friend bool operator<(const Index& a, const Index& b) noexcept {
    return a.case_ == b.case_ && a.case_ != Case::null && a.position_ < b.position_;
  }

 private:
  Index(Case kind, std::size_t position) noexcept : case_(kind), position_(position) {}
  Case case_;
  std::size_t position_;
};

class JSON::Iterator {
 public:
  using iterator_category = std::input_iterator_tag;
  using value_type = std::pair<std::string, JSON>;
  using difference_type = std::ptrdiff_t;
  using pointer = void;
  using reference = value_type;

  Iterator() noexcept : json_(nullptr), index_(Index::null()) {}
  value_type operator*() const { return json_->element(index_); }
  Iterator& operator++() noexcept {
    index_ = json_->indexAfter(index_);
    return *this;
  }
  Iterator operator++(int) noexcept {
    Iterator before = *this;
    ++*this;
    return before;
  }
  friend bool operator==(const Iterator& a, const Iterator& b) noexcept {
    return a.index_ == b.index_;
  }

 private:
  friend class JSON;
  Iterator(const JSON* json, Index index) noexcept : json_(json), index_(index) {}
  const JSON* json_;
  Index index_;
};

}  // namespace stratovane
