// Equality and ordering of JSON values.
#include "json/JSON.h"

namespace stratovane {

bool operator==(const JSON& a, const JSON& b) noexcept {
  if (a.type() != b.type()) return false;
  switch (a.type()) {
    case Type::number:
      return a.rawNumber() == b.rawNumber();
    case Type::string:
      return a.rawString() == b.rawString();
    case Type::bool_:
      return a.rawBool() == b.rawBool();
    case Type::array:
      return a.rawArray() == b.rawArray();
    case Type::dictionary:
      return a.rawDictionary() == b.rawDictionary();
    case Type::null:
      return true;
    case Type::unknown:
      return false;
  }
  return false;
}

bool operator<(const JSON& a, const JSON& b) noexcept {
  if (a.type() != b.type()) return false;
  if (a.type() == Type::number) return a.rawNumber().compare(b.rawNumber()) < 0;
  if (a.type() == Type::string) return a.rawString() < b.rawString();
  return false;
}

// Number and text orderings are antisymmetric, so the mirrored forms are exact.
bool operator>(const JSON& a, const JSON& b) noexcept {
  return b < a;
}

bool operator<=(const JSON& a, const JSON& b) noexcept {
  if (a.type() != b.type()) return false;
  switch (a.type()) {
    case Type::number:
      return a.rawNumber().compare(b.rawNumber()) <= 0;
    case Type::string:
      return a.rawString() <= b.rawString();
    case Type::bool_:
    case Type::array:
    case Type::dictionary:
      return a == b;
    case Type::null:
      return true;
    case Type::unknown:
      return false;
  }
  return false;
}

bool operator>=(const JSON& a, const JSON& b) noexcept {
  return b <= a;
}

}  // namespace stratovane
