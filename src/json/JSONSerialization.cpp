// Serialisation of JSON values to bytes and text, and their printed description.
#include <algorithm>
#include <iostream>

#include "json/JSON.h"
#include "json/JSONWriter.h"

namespace stratovane {
namespace {

// Budgets above this would only let hand-built values recurse deeper than any writable value.
constexpr long maxBudget = static_cast<long>(detail::maxWriteDepth) + 1;

template <class T>
const T* entry(const WritingOptionsMap& options, writingOptionsKeys key) {
  auto found = options.find(key);
  return found == options.end() ? nullptr : std::any_cast<T>(&found->second);
}

bool castNilToNSNull(const WritingOptionsMap& options) {
  const bool* value = entry<bool>(options, writingOptionsKeys::castNilToNSNull);
  return value && *value;
}

long budgetOf(const WritingOptionsMap& options) {
  long budget = 10;
  if (const int* value = entry<int>(options, writingOptionsKeys::maxObjextDepth)) {
    budget = *value;
  } else if (const long* wide = entry<long>(options, writingOptionsKeys::maxObjextDepth)) {
    budget = *wide;
  } else if (const long long* wider =
                 entry<long long>(options, writingOptionsKeys::maxObjextDepth)) {
    budget = static_cast<long>(std::clamp<long long>(*wider, -1, maxBudget));
  }
  return std::min(budget, maxBudget);
}

std::optional<std::string> decode(std::string bytes, Encoding encoding) {
  if (encoding == Encoding::ascii) {
    for (unsigned char c : bytes) {
      if (c >= 0x80) return std::nullopt;
    }
  }
  return bytes;  // the writer only produces valid UTF-8
}

std::string quoted(std::string_view text) {
  std::string result = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') result += '\\';
    result += c;
  }
  result += '"';
  return result;
}

std::optional<std::string> build(const JSON& value, Encoding encoding,
                                 const WritingOptionsMap& options, long budget);

// An element of a container written by hand: nothing when it cannot be written.
std::optional<std::string> piece(const Object& item, Encoding encoding,
                                 const WritingOptionsMap& options, long budget) {
  if (item.kind() == Object::Kind::emptyOptional) return "null";
  const JSON element(item);
  auto text = build(element, encoding, options, budget);
  if (text && element.type() == Type::string) return quoted(*text);
  return text;
}

std::optional<std::string> byHand(const JSON& value, Encoding encoding,
                                  const WritingOptionsMap& options, long budget) {
  try {
    std::string text;
    if (value.type() == Type::array) {
      text = "[";
      const Array& array = value.rawArray();
      for (std::size_t i = 0; i < array.size(); ++i) {
        auto item = piece(array[i], encoding, options, budget - 1);
        if (!item) return std::nullopt;
        if (i > 0) text += ',';
        text += *item;
      }
      text += ']';
    } else {
      text = "{";
      const Dictionary& dictionary = value.rawDictionary();
      for (std::size_t p = 0; p < dictionary.size(); ++p) {
        auto item = piece(dictionary.valueAt(p), encoding, options, budget - 1);
        if (!item) return std::nullopt;
        if (p > 0) text += ',';
        text += '"';
        text += dictionary.keyAt(p);
        text += "\": ";
        text += *item;
      }
      text += '}';
    }
    return text;
  } catch (const std::system_error&) {
    return std::nullopt;  // a nested failure only makes this container absent
  }
}

std::optional<std::string> build(const JSON& value, Encoding encoding,
                                 const WritingOptionsMap& options, long budget) {
  if (budget < 1) throw std::system_error(JSONError::invalidJSON);
  switch (value.type()) {
    case Type::number:
      return value.rawNumber().stringValue();
    case Type::string:
      return value.rawString();
    case Type::bool_:
      return value.rawBool() ? "true" : "false";
    case Type::null:
      return "null";
    case Type::unknown:
      return std::nullopt;
    case Type::array:
    case Type::dictionary:
      break;
  }
  if (castNilToNSNull(options)) return byHand(value, encoding, options, budget);
  const WritingOptions* writing =
      entry<WritingOptions>(options, writingOptionsKeys::jsonSerialization);
  return decode(value.serializedData(writing ? *writing : WritingOptions::prettyPrinted).bytes,
                encoding);
}

std::optional<std::string> buildOrReport(const JSON& value, Encoding encoding,
                                         const WritingOptionsMap& options, long budget) {
  try {
    return build(value, encoding, options, budget);
  } catch (const std::system_error& error) {
    std::cout << "Could not serialize object to JSON because: " << error.code().message()
              << std::endl;
    return std::nullopt;
  }
}

}  // namespace

Data JSON::serializedData(WritingOptions options) const {
  auto text = detail::writeJSON(object(), options);
  if (!text) throw std::system_error(JSONError::invalidJSON);
  return Data{std::move(*text)};
}

std::optional<std::string> JSON::serializedString(Encoding encoding, WritingOptions options) const {
  const WritingOptionsMap map{{writingOptionsKeys::jsonSerialization, options}};
  return buildOrReport(*this, encoding, map, 10);
}

std::optional<std::string> JSON::serializedString(const WritingOptionsMap& options) const {
  const Encoding* encoding = entry<Encoding>(options, writingOptionsKeys::encoding);
  return buildOrReport(*this, encoding ? *encoding : Encoding::utf8, options, budgetOf(options));
}

std::string JSON::description() const {
  return serializedString().value_or("unknown");
}

std::ostream& operator<<(std::ostream& out, const JSON& json) {
  return out << json.description();
}

}  // namespace stratovane
