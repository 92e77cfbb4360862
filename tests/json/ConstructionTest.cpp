// Construction of JSON values from bytes, text, literals and dynamic values.
#include <gtest/gtest.h>

#include <any>
#include <map>
#include <string>

#include "json/JSON.h"

namespace stratovane {
namespace {

JSON parse(std::string_view text) {
  return JSON(Data{std::string(text)}, ReadingOptions{});
}

TEST(JSONConstruction, ParsedScalarsHaveTheirKinds) {
  EXPECT_EQ(parse("true").type(), Type::bool_);
  EXPECT_EQ(parse("1").type(), Type::number);
  EXPECT_EQ(parse("\"x\"").type(), Type::string);
  EXPECT_EQ(parse("null").type(), Type::null);
  EXPECT_EQ(parse("[]").type(), Type::array);
  EXPECT_EQ(parse("{}").type(), Type::dictionary);
  EXPECT_FALSE(parse("null").error().has_value());
}

TEST(JSONConstruction, LiteralsHaveTheirKinds) {
  EXPECT_EQ(JSON(true).type(), Type::bool_);
  EXPECT_EQ(JSON(1).type(), Type::number);
  EXPECT_EQ(JSON(0).type(), Type::number);
  EXPECT_EQ(JSON(2.5).type(), Type::number);
  EXPECT_EQ(JSON(2.5f).type(), Type::number);
  EXPECT_EQ(JSON(std::uint64_t{1}).type(), Type::number);
  EXPECT_EQ(JSON("text").type(), Type::string);
  EXPECT_EQ(JSON(std::string("text")).type(), Type::string);
  EXPECT_EQ(JSON('c').stringValue(), "c");
  EXPECT_EQ(JSON(U'é').stringValue(), "\xC3\xA9");
  EXPECT_EQ(JSON(U'\U0001F600').stringValue(), "\xF0\x9F\x98\x80");
  EXPECT_EQ(JSON(static_cast<char32_t>(0xD800)).stringValue(), "\xEF\xBF\xBD");
  EXPECT_EQ(JSON(nullptr).type(), Type::null);
  EXPECT_EQ(JSON(std::nullopt).type(), Type::null);
  EXPECT_EQ(JSON(static_cast<const char*>(nullptr)).type(), Type::null);
}

TEST(JSONConstruction, BooleanNumbersAreToldFromOneAndZero) {
  EXPECT_TRUE(isBoolNumber(Number(true)));
  EXPECT_TRUE(isBoolNumber(Number(false)));
  EXPECT_FALSE(isBoolNumber(Number(1)));
  EXPECT_FALSE(isBoolNumber(Number(0)));
  EXPECT_FALSE(isBoolNumber(Number(1.0)));
  EXPECT_EQ(JSON(Number(false)).type(), Type::bool_);
  EXPECT_EQ(JSON(Number(0u)).type(), Type::number);
}

TEST(JSONConstruction, ArrayAndDictionaryLiterals) {
  const JSON array(Array{1, "two", JSON(3), Array{4}});
  ASSERT_EQ(array.type(), Type::array);
  EXPECT_EQ(array.count(), 4u);
  EXPECT_EQ(array[2].intValue(), 3);
  EXPECT_EQ(array[3][0].intValue(), 4);

  const JSON dictionary(Dictionary{{"a", 1}, {"b", Array{2}}, {"a", 3}});
  ASSERT_EQ(dictionary.type(), Type::dictionary);
  EXPECT_EQ(dictionary.count(), 2u);
  EXPECT_EQ(dictionary["a"].intValue(), 3);  // the later duplicate wins
  EXPECT_EQ(dictionary.rawDictionary().keyAt(0), "a");
  EXPECT_EQ(dictionary.rawDictionary().keyAt(1), "b");
}

TEST(JSONConstruction, NestedJSONValuesAreStoredAsPayloads) {
  const JSON five(JSON(JSON(JSON(5))));
  EXPECT_EQ(five.type(), Type::number);
  EXPECT_EQ(five.object(), Object(5));

  const JSON list(Array{JSON(1), JSON("a"), JSON(Array{JSON(true)})});
  const Object first = list.rawArray()[0];
  EXPECT_EQ(first.kind(), Object::Kind::number);
  const Object nested = list.rawArray()[2];
  ASSERT_EQ(nested.kind(), Object::Kind::array);
  EXPECT_EQ((*nested.array())[0].kind(), Object::Kind::number);
  EXPECT_TRUE((*nested.array())[0].number()->isBool());
}

TEST(JSONConstruction, BytesAsAnObjectAreParsedOrGiveNull) {
  const JSON parsed(Data{R"({"a": [1, 2]})"});
  EXPECT_EQ(parsed.type(), Type::dictionary);
  EXPECT_EQ(parsed["a"][1].intValue(), 2);

  const JSON invalid(Data{"{nope"});
  EXPECT_EQ(invalid.type(), Type::null);
  EXPECT_FALSE(invalid.error().has_value());
}

TEST(JSONConstruction, ParseJSONFromText) {
  EXPECT_EQ(JSON::parseJSON("[1, 2]").count(), 2u);
  EXPECT_EQ(JSON::parseJSON("").type(), Type::null);
  EXPECT_FALSE(JSON::parseJSON("").error().has_value());
  EXPECT_EQ(JSON::parseJSON("{\"a\":").type(), Type::null);
}

TEST(JSONConstruction, UnsupportedObjectsAreUnknown) {
  const JSON unknown(Object::other(std::map<int, int>{{1, 2}}));
  EXPECT_EQ(unknown.type(), Type::unknown);
  EXPECT_EQ(unknown.error(), JSONError::unsupportedType);
  EXPECT_EQ(unknown.object().kind(), Object::Kind::null);
  EXPECT_FALSE(JSON::fromRawValue(Object::other(42)).has_value());

  const auto fromRaw = JSON::fromRawValue(Object("x"));
  ASSERT_TRUE(fromRaw.has_value());
  EXPECT_EQ(fromRaw->stringValue(), "x");
  EXPECT_EQ(fromRaw->rawValue(), Object("x"));
}

TEST(JSONConstruction, NullHasNoError) {
  EXPECT_EQ(JSON::null().type(), Type::null);
  EXPECT_TRUE(JSON::null().exists());
  EXPECT_EQ(JSON().type(), Type::null);
}

TEST(JSONConstruction, AssigningObjectReclassifiesAndKeepsStaleSlots) {
  JSON json(7);
  json.setObject("text");
  EXPECT_EQ(json.type(), Type::string);
  EXPECT_EQ(json.rawNumber(), Number(7));  // untouched, but no reader sees it
  EXPECT_FALSE(json.asNumber().has_value());
  EXPECT_EQ(json.stringValue(), "text");
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
  EXPECT_EQ(original["a"]["b"][0].intValue(), 1);
  EXPECT_EQ(original["c"].stringValue(), "x");
  EXPECT_FALSE(original["new"].exists());

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

TEST(JSONConstruction, TypesAndErrorsFromRawValues) {
  EXPECT_EQ(typeFromRawValue(2), Type::bool_);
  EXPECT_EQ(typeFromRawValue(6), Type::unknown);
  EXPECT_FALSE(typeFromRawValue(7).has_value());
  EXPECT_FALSE(typeFromRawValue(-1).has_value());
  EXPECT_EQ(rawValue(Type::null), 5);

  EXPECT_EQ(jsonErrorFromCode(500), JSONError::notExist);
  EXPECT_FALSE(jsonErrorFromCode(501).has_value());
  for (JSONError error :
       {JSONError::unsupportedType, JSONError::indexOutOfBounds, JSONError::elementTooDeep,
        JSONError::wrongType, JSONError::notExist, JSONError::invalidJSON}) {
    EXPECT_EQ(jsonErrorFromCode(errorCode(error)), error);
    EXPECT_EQ(errorDomain(error).size(), 25u);
  }
}

TEST(JSONConstruction, ErrorDescriptions) {
  EXPECT_EQ(errorUserInfo(JSONError::indexOutOfBounds),
            (std::map<std::string, std::string>{
                {"NSLocalizedDescription", "Array Index is out of bounds."}}));
  const std::error_code code = JSONError::wrongType;
  EXPECT_EQ(code.value(), 901);
  EXPECT_EQ(std::string(code.category().name()), errorDomain());
  EXPECT_EQ(code.message(), "Couldn't merge, because the JSONs differ in type on top level.");
  EXPECT_EQ(errorMessage(JSONError::elementTooDeep),
            "Element too deep. Increase maxObjectDepth and make sure there is no reference loop.");
}

}  // namespace
}  // namespace stratovane
