// Construction and the iterative equality of dynamic values.
#include "json/Object.h"

#include <vector>

#include "json/JSON.h"
#include "json/PayloadAccess.h"

namespace stratovane {
namespace {

std::string utf8(char32_t scalar) {
  if (scalar > 0x10FFFF || (scalar >= 0xD800 && scalar <= 0xDFFF)) scalar = 0xFFFD;
  std::string text;
  if (scalar < 0x80) {
    text += static_cast<char>(scalar);
  } else if (scalar < 0x800) {
    text += static_cast<char>(0xC0 | (scalar >> 6));
    text += static_cast<char>(0x80 | (scalar & 0x3F));
  } else if (scalar < 0x10000) {
    text += static_cast<char>(0xE0 | (scalar >> 12));
    text += static_cast<char>(0x80 | ((scalar >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (scalar & 0x3F));
  } else {
    text += static_cast<char>(0xF0 | (scalar >> 18));
    text += static_cast<char>(0x80 | ((scalar >> 12) & 0x3F));
    text += static_cast<char>(0x80 | ((scalar >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (scalar & 0x3F));
  }
  return text;
}

bool isNullLike(const Object& object) noexcept {
  return object.kind() == Object::Kind::null || object.kind() == Object::Kind::emptyOptional;
}

}  // namespace

Object::Object(const char* text) : value_(Null{}) {
  if (text != nullptr) value_.emplace<std::string>(text);
}

Object::Object(char32_t scalar) : value_(utf8(scalar)) {}

Object Object::payloadOf(const JSON& json) {
  return json.object();
}

bool operator==(const Object& a, const Object& b) noexcept {
  std::vector<std::pair<Object, Object>> pending;
  std::pair<Object, Object> current;  // keeps the pair under examination alive
  const Object* left = &a;
  const Object* right = &b;
  for (;;) {
    if (isNullLike(*left) || isNullLike(*right)) {
      if (!isNullLike(*left) || !isNullLike(*right)) return false;
    } else if (left->kind() != right->kind()) {
      return false;
    } else {
      switch (left->kind()) {
        case Object::Kind::number:
          if (!(*left->number() == *right->number())) return false;
          break;
        case Object::Kind::string:
          if (*left->string() != *right->string()) return false;
          break;
        case Object::Kind::data:
          if (!(*left->data() == *right->data())) return false;
          break;
        case Object::Kind::array: {
          const Array& x = *left->array();
          const Array& y = *right->array();
          if (detail::PayloadAccess::same(x, y)) break;
          if (x.size() != y.size()) return false;
          for (std::size_t i = 0; i < x.size(); ++i) pending.emplace_back(x[i], y[i]);
          break;
        }
        case Object::Kind::dictionary: {
          const Dictionary& x = *left->dictionary();
          const Dictionary& y = *right->dictionary();
          if (detail::PayloadAccess::same(x, y)) break;
          if (x.size() != y.size()) return false;
          for (std::size_t p = 0; p < x.size(); ++p) {
            auto other = y.find(x.keyAt(p));
            if (!other) return false;
            pending.emplace_back(x.valueAt(p), std::move(*other));
          }
          break;
        }
        default:
          return false;  // other objects cannot be compared
      }
    }
    if (pending.empty()) return true;
    current = std::move(pending.back());
    pending.pop_back();
    left = &current.first;
    right = &current.second;
  }
}

}  // namespace stratovane
