// Fuzzes the JSON value: parse arbitrary bytes, walk and read the result, write it, parse again.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "json/JSON.h"

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

// Visits every value of the document without recursion.
void walk(const JSON& root) {
  std::vector<JSON> pending{root};
  while (!pending.empty()) {
    const JSON value = std::move(pending.back());
    pending.pop_back();
    readAll(value);
    std::size_t visited = 0;
    for (const auto& [key, element] : value) {
      if (value.type() == Type::dictionary) {
        check(value[key] == element, "a key does not read its own entry");
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
