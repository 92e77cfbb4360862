// Construction of JSON values from bytes, text, literals and dynamic values, and their typed
// accessors: defaults of each kind, numeric conversions and write forms.
#include <gtest/gtest.h>

#include <any>
#include <cmath>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "json/JSON.h"

namespace stratovane {
namespace {

JSON parse(std::string_view text) {
  return JSON(Data{std::string(text)}, ReadingOptions{});
}

TEST(JSONConstruction, ParsedAndLiteralValuesHaveTheirKinds) {
  const std::pair<Type, std::vector<JSON>> kinds[] = {
      {Type::bool_, {parse("true"), JSON(true), JSON(Number(false))}},
      {Type::number,
       {parse("1"), JSON(0), JSON(2.5f), JSON(std::uint64_t{1}), JSON(Number(0u)),
        JSON(Number(1.0))}},
      {Type::string, {parse("\"x\""), JSON("text")}},
      {Type::null,
       {parse("null"), JSON(nullptr), JSON(std::nullopt), JSON(),
        JSON(static_cast<const char*>(nullptr))}},
      {Type::array, {parse("[]")}},
      {Type::dictionary, {parse("{}")}},
  };
  for (const auto& [type, values] : kinds) {
    for (const JSON& json : values) {
      EXPECT_EQ(json.type(), type) << json.description();
      EXPECT_FALSE(json.error().has_value()) << json.description();
    }
  }
  EXPECT_TRUE(JSON::null().exists());
  EXPECT_EQ(JSON('c').stringValue(), "c");
  EXPECT_EQ(JSON(U'é').stringValue(), "\xC3\xA9");
  EXPECT_EQ(JSON(U'\U0001F600').stringValue(), "\xF0\x9F\x98\x80");
  EXPECT_EQ(JSON(static_cast<char32_t>(0xD800)).stringValue(), "\xEF\xBF\xBD");
}

TEST(JSONConstruction, DictionaryLiteralDuplicates) {
  const JSON dictionary(Dictionary{{"a", 1}, {"b", Array{2}}, {"a", 3}});
  EXPECT_EQ(dictionary.count(), 2u);
  EXPECT_EQ(dictionary["a"].intValue(), 3);  // the later duplicate wins
  EXPECT_EQ(dictionary.rawDictionary().keyAt(0), "a");
  EXPECT_EQ(dictionary.rawDictionary().keyAt(1), "b");
}

TEST(JSONConstruction, BytesAndTextAreParsedOrGiveNullWithoutError) {
  EXPECT_EQ(JSON(Data{R"({"a": [1, 2]})"})["a"][1].intValue(), 2);
  EXPECT_EQ(JSON::parseJSON("[1, 2]").count(), 2u);
  for (const JSON& invalid :
       {JSON(Data{"{nope"}), JSON::parseJSON(""), JSON::parseJSON("{\"a\":")}) {
    EXPECT_EQ(invalid.type(), Type::null);
    EXPECT_FALSE(invalid.error().has_value());
  }
}

TEST(JSONConstruction, UnsupportedObjectsAreUnknown) {
  const JSON unknown(Object::other(std::map<int, int>{{1, 2}}));
  EXPECT_EQ(unknown.type(), Type::unknown);
  EXPECT_EQ(unknown.error(), JSONError::unsupportedType);
  EXPECT_EQ(unknown.object().kind(), Object::Kind::null);
  EXPECT_FALSE(JSON::fromRawValue(Object::other(42)).has_value());
  EXPECT_EQ(JSON::fromRawValue(Object("x"))->rawValue(), Object("x"));
}

TEST(JSONConstruction, CopiesAreIndependent) {
  const JSON original = parse(R"({"a": {"b": [1, 2, 3]}, "c": "x"})");
  JSON copy = original;
  copy.set({"a", "b", 0}, JSON(100));
  copy.set("c", JSON("y"));
  copy.set("new", JSON(true));
  EXPECT_EQ(copy["a"]["b"][0].intValue(), 100);
  EXPECT_EQ(original, parse(R"({"a": {"b": [1, 2, 3]}, "c": "x"})"));

  JSON element = original["a"]["b"];
  element.set(1, JSON(-1));
  EXPECT_EQ(original["a"]["b"][1].intValue(), 2);

  Array items{1, 2};
  Dictionary entries{{"k", 1}};
  const JSON fromItems(items);
  const JSON fromEntries(entries);
  items.set(0, 9);
  entries.set("k", 9);
  EXPECT_EQ(fromItems[0].intValue(), 1);
  EXPECT_EQ(fromEntries["k"].intValue(), 1);
}

TEST(JSONConstruction, RawValuesAndErrorCodes) {
  EXPECT_EQ(typeFromRawValue(6), Type::unknown);
  EXPECT_FALSE(typeFromRawValue(7).has_value());
  EXPECT_FALSE(typeFromRawValue(-1).has_value());
  EXPECT_FALSE(jsonErrorFromCode(501).has_value());
  for (JSONError error :
       {JSONError::unsupportedType, JSONError::indexOutOfBounds, JSONError::elementTooDeep,
        JSONError::wrongType, JSONError::notExist, JSONError::invalidJSON}) {
    EXPECT_EQ(jsonErrorFromCode(errorCode(error)), error);
    EXPECT_EQ(std::error_code(error).message(), errorMessage(error));
  }
}

TEST(JSONTypedAccessors, TextsOfNumbersAndBooleans) {
  const std::pair<JSON, const char*> texts[] = {
      {JSON(1), "1"},     {JSON(21.6), "21.6"},    {JSON(3.0), "3"},    {JSON(21.6f), "21.6"},
      {JSON(-0.0), "-0"}, {JSON(1e300), "1e+300"}, {JSON(true), "true"}};
  for (const auto& [json, text] : texts) EXPECT_EQ(json.stringValue(), text);
  EXPECT_FALSE(JSON(1).asString().has_value());
  EXPECT_EQ(JSON(true).asNumber(), Number(1));
  EXPECT_FALSE(JSON(true).asNumber()->isBool());
  EXPECT_EQ(JSON(false).asInt(), 0);
  EXPECT_EQ(JSON(true).asBool(), true);
  EXPECT_FALSE(JSON(1).asBool().has_value());
}

TEST(JSONTypedAccessors, TextAsBoolean) {
  for (const char* yes : {"YES", "True", "t", "1"}) EXPECT_TRUE(JSON(yes).boolValue()) << yes;
  for (const char* no : {"no", "", "yess", "2", " true"}) EXPECT_FALSE(JSON(no).boolValue()) << no;
  EXPECT_TRUE(JSON(0.5).boolValue());
  EXPECT_FALSE(JSON(std::nan("")).boolValue());
}

TEST(JSONTypedAccessors, TextAsNumberIsLenient) {
  EXPECT_EQ(JSON("12.5").doubleValue(), 12.5);
  EXPECT_FALSE(JSON("12.5").asDouble().has_value());
  EXPECT_FALSE(JSON("12").asInt().has_value());
  EXPECT_EQ(JSON("abc").numberValue(), Number(0));
  EXPECT_EQ(JSON("  -3.5e2xyz").doubleValue(), -350);
  EXPECT_EQ(JSON("+7").intValue(), 7);
  EXPECT_EQ(JSON("1e").doubleValue(), 1);
  EXPECT_EQ(JSON("9007199254740993").int64Value(), 9007199254740993);
  EXPECT_EQ(JSON("18446744073709551615").uInt64Value(), 18446744073709551615u);
  EXPECT_EQ(JSON("1e999").doubleValue(), std::numeric_limits<double>::infinity());
  EXPECT_EQ(JSON("-1e999").intValue(), std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(JSON("0.0000001e-400").doubleValue(), 0);
  EXPECT_EQ(JSON("123" + std::string(400, '0')).doubleValue(),
            std::numeric_limits<double>::infinity());
}

TEST(JSONTypedAccessors, DefaultsOfOtherKindsAndContainersAsJSONValues) {
  const JSON null = JSON::null();
  EXPECT_EQ(null.numberValue().representation(), Number::Representation::float64);
  EXPECT_EQ(null.numberValue(), Number(0.0));
  EXPECT_TRUE(null.asNull().has_value());
  EXPECT_FALSE(JSON(0).asNull().has_value());
  const JSON array(Array{1});
  EXPECT_EQ(array.stringValue(), "");
  EXPECT_EQ(array.intValue(), 0);
  EXPECT_TRUE(array.dictionaryValue().empty());
  EXPECT_FALSE(array.asDictionary().has_value());
  EXPECT_FALSE(JSON(Dictionary{}).asArray().has_value());
  const auto entries = JSON::parseJSON(R"({"b": [1, "x"]})").dictionaryValue();
  EXPECT_EQ(entries.at("b").arrayValue().at(1).stringValue(), "x");
}

// Every integer reading of a value: int8 uint8 int16 uint16 int32 uint32 int64 uint64.
std::string integers(const JSON& json) {
  std::ostringstream out;
  out << +json.int8Value() << ' ' << +json.uInt8Value() << ' ' << json.int16Value() << ' '
      << json.uInt16Value() << ' ' << json.int32Value() << ' ' << json.uInt32Value() << ' '
      << json.int64Value() << ' ' << json.uInt64Value();
  return out.str();
}

TEST(JSONTypedAccessors, IntegerReadingsSaturateAndTruncate) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const std::pair<JSON, const char*> cases[] = {
      {JSON(300), "127 255 300 300 300 300 300 300"},
      {JSON(-300), "-128 0 -300 0 -300 0 -300 0"},
      {JSON(70000), "127 255 32767 65535 70000 70000 70000 70000"},
      {JSON(std::uint64_t{1} << 63),
       "127 255 32767 65535 2147483647 4294967295 9223372036854775807 9223372036854775808"},
      {JSON(-2.9), "-2 0 -2 0 -2 0 -2 0"},
      {JSON(255.9), "127 255 255 255 255 255 255 255"},
      {JSON(9223372036854775808.0),
       "127 255 32767 65535 2147483647 4294967295 9223372036854775807 9223372036854775808"},
      {JSON(-9223372036854775808.0), "-128 0 -32768 0 -2147483648 0 -9223372036854775808 0"},
      {JSON(inf),
       "127 255 32767 65535 2147483647 4294967295 9223372036854775807 18446744073709551615"},
      {JSON(-inf), "-128 0 -32768 0 -2147483648 0 -9223372036854775808 0"},
      {JSON(nan), "0 0 0 0 0 0 0 0"}};
  for (const auto& [json, expected] : cases)
    EXPECT_EQ(integers(json), expected) << json.description();
}

TEST(JSONTypedAccessors, FloatingReadings) {
  EXPECT_EQ(JSON(1e300).floatValue(), std::numeric_limits<float>::infinity());
  EXPECT_EQ(JSON(-1e300).asFloat(), -std::numeric_limits<float>::infinity());
  EXPECT_TRUE(std::isnan(JSON(std::nan("")).floatValue()));
  EXPECT_FLOAT_EQ(JSON(21.6).floatValue(), 21.6f);
  EXPECT_EQ(JSON(std::numeric_limits<std::uint64_t>::max()).doubleValue(), 18446744073709551616.0);
}

TEST(JSONTypedAccessors, WritesReclassifyAndClearTheError) {
  JSON json = JSON(Array{1})[5];
  json.setObject(3);
  EXPECT_FALSE(json.error().has_value());
  json.setInt8Value(-5);
  EXPECT_EQ(json.rawNumber().representation(), Number::Representation::int64);
  json.setObject("text");
  EXPECT_EQ(json.type(), Type::string);
  EXPECT_FALSE(json.asNumber().has_value());  // the old number is no longer read
  json.setUInt64Value(std::numeric_limits<std::uint64_t>::max());
  EXPECT_EQ(json.stringValue(), "18446744073709551615");
  json.setAsNumber(Number(true));
  EXPECT_EQ(json.type(), Type::bool_);
  json.setAsInt8(std::nullopt);  // an absent value writes null
  EXPECT_EQ(json.type(), Type::null);
}

TEST(JSONTypedAccessors, URLsAreEscapedTexts) {
  EXPECT_EQ(JSON("https://example.org/a b").asURL(), URL::fromString("https://example.org/a%20b"));
  // Escaped already: taken as it is, never escaped twice; half escaped is no URL.
  EXPECT_EQ(JSON("https://example.org/a%20b").asURL(),
            URL::fromString("https://example.org/a%20b"));
  EXPECT_FALSE(JSON("a%20 b").asURL().has_value());
  EXPECT_FALSE(JSON(1).asURL().has_value());
}

TEST(JSONTypedAccessors, NumbersCompareExactlyAcrossRepresentations) {
  EXPECT_EQ(Number(std::uint64_t{1} << 63), Number(9223372036854775808.0));
  EXPECT_NE(Number(std::int64_t{9007199254740993}), Number(9007199254740992.0));
  EXPECT_TRUE(Number(0.5).compare(Number(0)) > 0);
  EXPECT_TRUE(Number(-0.5).compare(Number(0u)) < 0);
  EXPECT_EQ(Number(true), Number(1));
  EXPECT_TRUE(Number(std::nan("")).compare(Number(-1e308)) < 0);
  EXPECT_EQ(Number(std::nan("")), Number(std::nan("")));
  EXPECT_TRUE(Number(std::numeric_limits<std::int64_t>::max()).compare(Number(-1e300)) > 0);
  EXPECT_TRUE(Number(std::numeric_limits<std::int64_t>::max()).compare(Number(1e19)) < 0);
}

}  // namespace
}  // namespace stratovane
