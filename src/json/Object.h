// A dynamic value: what a JSON value is built from and what its payload is handed out as.
#pragma once

#include <any>
#include <concepts>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "json/Array.h"
#include "json/Data.h"
#include "json/Dictionary.h"
#include "json/Null.h"
#include "json/Number.h"

namespace stratovane {

class JSON;

namespace detail {
template <class T>
concept CharacterType = std::same_as<T, char> || std::same_as<T, wchar_t> ||
    std::same_as<T, char8_t> || std::same_as<T, char16_t> || std::same_as<T, char32_t>;
}  // namespace detail

// One of: a number object, a text, the null object, an ordered list, a map with text keys, a
// block of bytes, an empty optional, or any other object (held in std::any).
//
// A JSON value handed in is stored as its payload at once, so an Object never holds a JSON
// value and taking a payload apart never has to unwrap it again.
//
// Literals: bool makes a Boolean number; other integers and float/double make numbers; char and
// char32_t make a one-character text (a char32_t that is no Unicode scalar gives U+FFFD);
// nullptr makes the null object; std::nullopt an empty optional.
class Object {
 public:
  enum class Kind { null, number, string, array, dictionary, data, emptyOptional, other };

  Object() noexcept : value_(Null{}) {}
  Object(Null) noexcept : value_(Null{}) {}
  Object(std::nullptr_t) noexcept : value_(Null{}) {}
  Object(std::nullopt_t) noexcept : value_(std::nullopt) {}
  Object(Number number) noexcept : value_(number) {}
  Object(bool value) noexcept : value_(Number(value)) {}
  template <std::integral T>
  requires(!std::same_as<T, bool> && !detail::CharacterType<T>) Object(T value)
  noexcept : value_(Number(value)) {}
  template <class T>
  requires(std::same_as<T, float> || std::same_as<T, double>) Object(T value)
  noexcept : value_(Number(value)) {}
  Object(const char* text);  // a null pointer gives the null object
  Object(std::string text) noexcept : value_(std::move(text)) {}
  Object(std::string_view text) : value_(std::string(text)) {}
  Object(char character) : value_(std::string(1, character)) {}
  Object(char32_t scalar);
  Object(Array array) noexcept : value_(std::move(array)) {}
  Object(Dictionary dictionary) noexcept : value_(std::move(dictionary)) {}
  Object(Data data) noexcept : value_(std::move(data)) {}
  // Exactly a JSON value: a conversion path through JSON's own literal constructors would make
  // "is this constructible" questions depend on themselves.
  template <std::same_as<JSON> J>
  Object(const J& json) : Object(payloadOf(json)) {}
  template <class T>
  requires std::constructible_from<Object, const T&> Object(const std::optional<T>& value)
      : Object(std::nullopt) {
    if (value) *this = Object(*value);
  }
  static Object other(std::any value) {
    Object object;
    object.value_.emplace<std::any>(std::move(value));
    return object;
  }

  Kind kind() const noexcept { return static_cast<Kind>(value_.index()); }
  const Number* number() const noexcept { return std::get_if<Number>(&value_); }
  const std::string* string() const noexcept { return std::get_if<std::string>(&value_); }
  const Array* array() const noexcept { return std::get_if<Array>(&value_); }
  const Dictionary* dictionary() const noexcept { return std::get_if<Dictionary>(&value_); }
  const Data* data() const noexcept { return std::get_if<Data>(&value_); }
  const std::any* otherObject() const noexcept { return std::get_if<std::any>(&value_); }

  // The platform's equality: numbers by numeric value (a Boolean number equals 1 or 0), texts
  // and bytes byte for byte, the null object equals the null object and an empty optional,
  // lists element by element, maps by keys and values ignoring order. Other objects are never
  // equal. Works by iteration, so nesting depth does not matter.
  friend bool operator==(const Object& a, const Object& b) noexcept;

 private:
  friend struct detail::PayloadAccess;
  static Object payloadOf(const JSON& json);
  // The order matches Kind.
  std::variant<Null, Number, std::string, Array, Dictionary, Data, std::nullopt_t, std::any> value_;
};

}  // namespace stratovane
