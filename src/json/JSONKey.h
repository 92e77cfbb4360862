// One step of a path into a JSON value: an index or a key.
#pragma once

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace stratovane {

class JSONKey {
 public:
  template <std::integral T>
  requires(!std::same_as<T, bool>) JSONKey(T index)
  noexcept : step_(static_cast<std::int64_t>(index)) {}
  JSONKey(const char* key) : step_(std::string(key ? key : "")) {}
  JSONKey(std::string key) noexcept : step_(std::move(key)) {}
  JSONKey(std::string_view key) : step_(std::string(key)) {}

  static JSONKey index(std::int64_t position) noexcept { return JSONKey(position); }
  static JSONKey key(std::string name) noexcept { return JSONKey(std::move(name)); }

  bool isIndex() const noexcept { return std::holds_alternative<std::int64_t>(step_); }
  std::int64_t indexValue() const noexcept {
    const auto* index = std::get_if<std::int64_t>(&step_);
    return index ? *index : 0;
  }
  std::string_view keyValue() const noexcept {
    const auto* key = std::get_if<std::string>(&step_);
    return key ? std::string_view(*key) : std::string_view();
  }

  friend bool operator==(const JSONKey&, const JSONKey&) = default;

 private:
  std::variant<std::int64_t, std::string> step_;
};

// Everything that can be a step: signed integers (index steps), texts (key steps) and JSONKey.
template <class T>
concept JSONSubscriptType = std::same_as<T, JSONKey> ||
                            (std::signed_integral<T> && !std::same_as<T, char>) ||
                            std::convertible_to<const T&, std::string_view>;

template <JSONSubscriptType T>
JSONKey jsonKey(const T& step) {
  if constexpr (std::same_as<T, JSONKey>) {
    return step;
  } else if constexpr (std::signed_integral<T>) {
    return JSONKey::index(step);
  } else {
    return JSONKey(std::string_view(step));
  }
}

}  // namespace stratovane
