// Fuzzes the JSON value: parse arbitrary bytes, walk and read the result, write it, parse again.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "json/JSON.h"
#include "json/JSONView.h"

namespace stratovane {
namespace {

void check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "json_fuzz: %s\n", what);
  std::abort();
}

// Every accessor on one value; none may fail or disagree with the kind.
void readAll(const JSON& value) {
  (void)value.asString();
  (void)value.stringValue();
  (void)value.numberValue().stringValue();
  (void)value.boolValue();
  (void)value.asURL();
  (void)value.doubleValue();
  (void)value.floatValue();
  (void)value.intValue();
  (void)value.uIntValue();
  (void)value.int8Value();
  (void)value.uInt8Value();
  (void)value.int16Value();
  (void)value.uInt16Value();
  (void)value.int32Value();
  (void)value.uInt32Value();
  (void)value.asUInt64();
  (void)value.asInt64();
  check(value.exists(), "a value read from a document carries an error");
  check(value == value || value.type() == Type::unknown, "a value is not equal to itself");
  check(value.asString().has_value() == (value.type() == Type::string), "asString and kind differ");
  (void)value[0];
  (void)value["key"];
}

// A view's step gives what the subscript gives.
void checkView(const JSONView& view, const JSON& json) {
  check(view.json() == json && view.type() == json.type() && view.error() == json.error(),
        "a view and a subscript read differently");
  check(view.asString() == json.asString() && view.stringValue() == json.stringValue(),
        "a view and a subscript read different texts");
  const auto sameNumber = [](auto a, auto b) { return a == b || (a != a && b != b); };
  check(view.asDouble().has_value() == json.asDouble().has_value() &&
            sameNumber(view.asDouble().value_or(0), json.asDouble().value_or(0)) &&
            sameNumber(view.doubleValue(), json.doubleValue()) &&
            view.asFloat().has_value() == json.asFloat().has_value(),
        "a view and a subscript read different numbers");
}

// Visits every value of the document without recursion.
void walk(const JSON& root) {
  std::vector<JSON> pending{root};
  while (!pending.empty()) {
    const JSON value = std::move(pending.back());
    pending.pop_back();
    readAll(value);
    std::size_t visited = 0;
    const JSONView view(value);
    checkView(view[0], value[0]);
    checkView(view["key"], value["key"]);
    checkView(view[0][0], value[0][0]);
    for (const auto& [key, element] : value) {
      if (value.type() == Type::dictionary) {
        check(value[key] == element, "a key does not read its own entry");
        checkView(view[key], value[key]);
      } else {
        checkView(view[static_cast<std::int64_t>(std::stoull(key))], element);
      }
      pending.push_back(element);
      ++visited;
    }
    check(visited == value.count(), "iteration and count differ");
  }
}

void roundTrip(const JSON& json, WritingOptions options) {
  const Data written = json.serializedData(options);
  const JSON reread(written, ReadingOptions{});
  check(reread == json, "a written document reads back differently");
}

}  // namespace
}  // namespace stratovane

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace stratovane;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  JSON json;
  try {
    json = JSON(Data{bytes}, ReadingOptions{});
  } catch (const JSONParseError&) {
    const JSON fallback = JSON::parseJSON(bytes);
    check(fallback.type() == Type::null && fallback.exists(), "rejected bytes are not null");
    return 0;
  }
  walk(json);
  roundTrip(json, WritingOptions{});
  roundTrip(json, WritingOptions::prettyPrinted | WritingOptions::sortedKeys);
  (void)json.description();
  (void)json.serializedString(
      {{writingOptionsKeys::castNilToNSNull, true}, {writingOptionsKeys::maxObjextDepth, 1 << 30}});

  JSON copy = json;
  copy.set({0, "key"}, JSON("changed"));
  copy.set("key", JSON(Array{json}));
  copy.set(0, JSON(1));
  check(JSON(Data{bytes}, ReadingOptions{}) == json, "changing a copy changed the original");
  if (json.type() == Type::dictionary || json.type() == Type::array) {
    const JSON merged = json.merged(json);
    check(merged.count() == (json.type() == Type::array ? 2 : 1) * json.count(),
          "merging a value with itself gives the wrong size");
  }
  return 0;
}
