// The JSON text writer: escaping, number text, pretty printing and key order.
#include "json/JSONWriter.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "json/Utf8.h"

namespace stratovane::detail {
namespace {

class Writer {
 public:
  explicit Writer(WritingOptions options)
      : pretty_(contains(options, WritingOptions::prettyPrinted)),
        sorted_(contains(options, WritingOptions::sortedKeys)) {}

  // `depth` counts the containers around the value.
  bool write(const Object& value, std::size_t depth) {
    switch (value.kind()) {
      case Object::Kind::null:
        out += "null";
        return true;
      case Object::Kind::number:
        return writeNumber(*value.number());
      case Object::Kind::string:
        return writeString(*value.string());
      case Object::Kind::array:
        return writeArray(*value.array(), depth + 1);
      case Object::Kind::dictionary:
        return writeDictionary(*value.dictionary(), depth + 1);
      case Object::Kind::data:
      case Object::Kind::emptyOptional:
      case Object::Kind::other:
        return false;
    }
    return false;
  }

  std::string out;

 private:
  void newline(std::size_t depth) {
    if (!pretty_) return;
    out += '\n';
    out.append(2 * depth, ' ');
  }

  bool writeNumber(const Number& number) {
    if (number.isBool()) {
      out += number.boolValue() ? "true" : "false";
      return true;
    }
    if (number.isFloating() && !std::isfinite(number.doubleValue())) return false;
    out += number.stringValue();
    return true;
  }

  bool writeString(std::string_view text) {
    if (!isValidUTF8(text)) return false;
    static constexpr char hex[] = "0123456789abcdef";
    out += '"';
    std::size_t plain = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      const auto c = static_cast<unsigned char>(text[i]);
      if (c >= 0x20 && c != '"' && c != '\\') continue;
      out.append(text.substr(plain, i - plain));
      plain = i + 1;
      switch (c) {
        case '"':
          out += "\\\"";
          break;
        case '\\':
          out += "\\\\";
          break;
        case '\b':
          out += "\\b";
          break;
        case '\f':
          out += "\\f";
          break;
        case '\n':
          out += "\\n";
          break;
        case '\r':
          out += "\\r";
          break;
        case '\t':
          out += "\\t";
          break;
        default:
          out += "\\u00";
          out += hex[c >> 4];
          out += hex[c & 0xF];
      }
    }
    out.append(text.substr(plain));
    out += '"';
    return true;
  }

  bool writeArray(const Array& array, std::size_t depth) {
    if (depth > maxWriteDepth) return false;
    if (array.empty()) {
      out += "[]";
      return true;
    }
    out += '[';
    for (std::size_t i = 0; i < array.size(); ++i) {
      if (i > 0) out += ',';
      newline(depth);
      if (!write(array[i], depth)) return false;
    }
    newline(depth - 1);
    out += ']';
    return true;
  }

  bool writeDictionary(const Dictionary& dictionary, std::size_t depth) {
    if (depth > maxWriteDepth) return false;
    if (dictionary.empty()) {
      out += "{}";
      return true;
    }
    std::vector<std::size_t> order(dictionary.size());
    std::iota(order.begin(), order.end(), 0);
    if (sorted_) {
      std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return dictionary.keyAt(a) < dictionary.keyAt(b);
      });
    }
    out += '{';
    bool first = true;
    for (std::size_t position : order) {
      if (!first) out += ',';
      first = false;
      newline(depth);
      if (!writeString(dictionary.keyAt(position))) return false;
      out += pretty_ ? " : " : ":";
      if (!write(dictionary.valueAt(position), depth)) return false;
    }
    newline(depth - 1);
    out += '}';
    return true;
  }

  bool pretty_;
  bool sorted_;
};

}  // namespace

std::optional<std::string> writeJSON(const Object& value, WritingOptions options) {
  Writer writer(options);
  if (!writer.write(value, 0)) return std::nullopt;
  return std::move(writer.out);
}

}  // namespace stratovane::detail
