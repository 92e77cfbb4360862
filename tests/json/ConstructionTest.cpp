// Construction of JSON values from bytes, text, literals and dynamic values.
#include <gtest/gtest.h>

#include <any>
#include <map>
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

TEST(JSONConstruction, ArrayAndDictionaryLiterals) {
  const JSON array(Array{1, "two", JSON(3), Array{4}});
  EXPECT_EQ(array.count(), 4u);
  EXPECT_EQ(array[2].intValue(), 3);
  EXPECT_EQ(array[3][0].intValue(), 4);

  const JSON dictionary(Dictionary{{"a", 1}, {"b", Array{2}}, {"a", 3}});
  EXPECT_EQ(dictionary.count(), 2u);
  EXPECT_EQ(dictionary["a"].intValue(), 3);  // the later duplicate wins
  EXPECT_EQ(dictionary.rawDictionary().keyAt(0), "a");
  EXPECT_EQ(dictionary.rawDictionary().keyAt(1), "b");

  // Nested JSON values are stored as their payloads, not as wrappers.
  EXPECT_EQ(JSON(JSON(JSON(5))).object(), Object(5));
  const Object nested = JSON(Array{JSON(Array{JSON(true)})}).rawArray()[0];
  ASSERT_EQ(nested.kind(), Object::Kind::array);
  EXPECT_TRUE((*nested.array())[0].number()->isBool());
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

TEST(JSONConstruction, AssigningAnObjectReclassifiesAndClearsTheError) {
  JSON json(7);
  json.setObject("text");
  EXPECT_EQ(json.type(), Type::string);
  EXPECT_FALSE(json.asNumber().has_value());  // the old number is no longer read
  EXPECT_EQ(json.doubleValue(), 0);

  JSON failed = JSON(Array{1})[5];
  ASSERT_TRUE(failed.error().has_value());
  failed.setObject(3);
  EXPECT_FALSE(failed.error().has_value());
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
  const JSON fromItems(items);
  items.set(0, 9);
  EXPECT_EQ(fromItems[0].intValue(), 1);
}

TEST(JSONConstruction, HandBuiltDeepValuesAreFreedWithoutRecursion) {
  JSON deep(Array{});
  for (int i = 0; i < 200000; ++i) deep = JSON(Array{deep});
  Dictionary map;
  for (int i = 0; i < 200000; ++i) map = Dictionary{{"k", map}};
  const JSON deepMap(map);
  SUCCEED();  // reaching the end of scope without a stack overflow is the test
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

}  // namespace
}  // namespace stratovane
