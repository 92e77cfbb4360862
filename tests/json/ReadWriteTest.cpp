// The reader behind JSON(data, options) (strict RFC 8259, limits and number fidelity) and the
// writers: bytes and text, and the hand-built writer.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numeric>
#include <string>
#include <vector>

#include "json/JSON.h"

namespace stratovane {
namespace {

JSON parse(std::string_view text) {
  return JSON(Data{std::string(text)}, ReadingOptions{});
}

bool accepted(std::string_view text) {
  try {
    parse(text);
    return true;
  } catch (const JSONParseError&) {
    return false;
  }
}

std::string nested(int depth, std::string_view inner) {
  return std::string(depth, '[') + std::string(inner) + std::string(depth, ']');
}

TEST(JSONParsing, RejectsWhatRFC8259Forbids) {
  for (const char* text : {"", " ", "[1,]", "{\"a\":1,}", "[1 2]", "{\"a\" 1}", "{a:1}", "[1]/*c*/",
                           "// c\n1", "tru", "nul", "[", "{\"a\"}", "1 2", "\xef\xbb\xbf{}"}) {
    EXPECT_FALSE(accepted(text)) << text;
  }
  for (const char* number :
       {"NaN", "Infinity", "-Infinity", "01", "-01", "1.", ".5", "+1", "0x10", "1e"}) {
    EXPECT_FALSE(accepted(number)) << number;
  }
  for (const char* text :
       {"'a'", "\"a\x01\"", "\"tab\there\"", "\"\xff\"", "\"\xc3\"", "\"\xed\xa0\x80\"",
        "\"\\ud800\"", "\"\\udc00\"", "\"\\ud800\\u0041\"", "\"\\x\""}) {
    EXPECT_FALSE(accepted(text)) << text;
  }
}

TEST(JSONParsing, AcceptsEveryKindOfValidDocument) {
  for (const char* text :
       {"0", "-0", "1e5", "-1.5E-3", "\"\"", "true", "false", "null", " [ ] ", "{\"\":{}}",
        "\"\\ud83d\\ude00\"", "\"\\u0000\"", "\"\x7f\"", "\"caf\xc3\xa9\"", "[1e-400]"}) {
    EXPECT_TRUE(accepted(text)) << text;
  }
  EXPECT_EQ(parse("\"\\ud83d\\ude00\"").stringValue(), "\xF0\x9F\x98\x80");
  EXPECT_EQ(parse("\"a\\u0000b\"").stringValue(), std::string("a\0b", 3));
  EXPECT_EQ(parse(R"({"a\"b\\c\/\n": "\t\u00e9"})")["a\"b\\c/\n"].stringValue(), "\t\xC3\xA9");
  EXPECT_EQ(parse("-0"), JSON(0));
  EXPECT_TRUE(std::signbit(parse("-0.0").doubleValue()));
}

TEST(JSONParsing, NestingUpTo1024LevelsOnly) {
  EXPECT_TRUE(accepted(nested(1024, "")));
  EXPECT_TRUE(accepted(nested(1024, "1")));
  EXPECT_FALSE(accepted(nested(1025, "")));
  EXPECT_FALSE(accepted(nested(1025, "1")));
  EXPECT_FALSE(accepted(nested(100000, "")));

  std::string objects = "1";
  for (int i = 0; i < 1024; ++i) objects = "{\"a\":" + objects + "}";
  EXPECT_TRUE(accepted(objects));
  EXPECT_FALSE(accepted("[" + objects + "]"));
}

TEST(JSONParsing, IntegersThatFit64BitsStayIntegers) {
  const JSON top = parse("18446744073709551615");
  EXPECT_EQ(top.rawNumber().representation(), Number::Representation::uint64);
  EXPECT_EQ(top.uInt64Value(), std::numeric_limits<std::uint64_t>::max());

  const JSON bottom = parse("-9223372036854775808");
  EXPECT_EQ(bottom.int64Value(), std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(bottom.rawNumber().representation(), Number::Representation::int64);

  EXPECT_EQ(parse("9007199254740993").int64Value(), 9007199254740993);
}

TEST(JSONParsing, LongerIntegersBecomeDoubles) {
  const JSON big = parse("[18446744073709551616, -9223372036854775809, \"123456789012345678901\"]");
  EXPECT_EQ(big[0].rawNumber().representation(), Number::Representation::float64);
  EXPECT_DOUBLE_EQ(big[0].doubleValue(), 18446744073709551616.0);
  EXPECT_DOUBLE_EQ(big[1].doubleValue(), -9223372036854775809.0);
  EXPECT_EQ(big[2].stringValue(), "123456789012345678901");  // text untouched
  EXPECT_DOUBLE_EQ(parse("123456789012345678901234567890").doubleValue(), 1.2345678901234568e29);
  EXPECT_FALSE(accepted("0123456789012345678901"));
  EXPECT_FALSE(accepted("1" + std::string(400, '0')));  // beyond the range of double
  EXPECT_FALSE(accepted("1e400"));
}

TEST(JSONParsing, DuplicateKeysTheLaterWinsAtTheFirstPosition) {
  const JSON json = parse(R"({"a": 1, "b": 2, "a": {"deep": [1]}, "c": 3, "b": "x"})");
  EXPECT_EQ(json.count(), 3u);
  EXPECT_EQ(json["a"]["deep"][0].intValue(), 1);
  EXPECT_EQ(json["b"].stringValue(), "x");
  EXPECT_EQ(json.rawDictionary().keyAt(0), "a");
  EXPECT_EQ(json.rawDictionary().keyAt(1), "b");
  EXPECT_EQ(json.rawDictionary().keyAt(2), "c");

  const JSON replaced = parse(R"({"a": [1, [2]], "a": 5})");
  EXPECT_EQ(replaced["a"].intValue(), 5);
}

TEST(JSONParsing, EveryObjectSizeFindsItsKeysInOrderDespiteDuplicates) {
  std::vector<int> sizes(40);
  std::iota(sizes.begin(), sizes.end(), 1);
  sizes.push_back(300);
  for (int size : sizes) {
    for (int duplicates : {0, 1, 3}) {
      std::string text = "{";
      for (int i = 0; i < size; ++i) {
        text += (i ? "," : "") + ("\"key" + std::to_string(i) + "\":" + std::to_string(i));
      }
      // Repeats of earlier keys: the object shrinks across the size thresholds of the lookup.
      for (int d = 0; d < duplicates && d < size; ++d) {
        text += ",\"key" + std::to_string(d) + "\":" + std::to_string(-d - 1);
      }
      const JSON json = parse(text + "}");
      SCOPED_TRACE(text);
      ASSERT_EQ(json.count(), static_cast<std::size_t>(size));
      for (int i = 0; i < size; ++i) {
        EXPECT_EQ(json["key" + std::to_string(i)].intValue(), i < duplicates ? -i - 1 : i);
      }
      EXPECT_EQ(json.rawDictionary().keyAt(size - 1), "key" + std::to_string(size - 1));
      EXPECT_EQ(json["key" + std::to_string(size)].error(), JSONError::notExist);
      EXPECT_FALSE(json["kex0"].exists());
      EXPECT_FALSE(json[""].exists());
    }
  }
}

TEST(JSONParsing, LookupsAcrossObjectsWithDifferentKeyOrders) {
  // Same key order in the first two, another in the third; keys alike in length and first
  // bytes; repeated reads with the same key text must never answer from a stale position.
  const JSON list = parse(R"([
    {"a":0,"b":1,"c":2,"d":3,"e":4,"f":5,"g":6,"h":7,"abcdefgh1":"x","abcdefgh2":"y"},
    {"a":0,"b":1,"c":2,"d":3,"e":4,"f":5,"g":6,"h":7,"abcdefgh1":"p","abcdefgh2":"q"},
    {"abcdefgh2":"r","h":7,"g":6,"f":5,"e":4,"d":3,"c":2,"b":1,"a":0},
    {"a":0,"b":1,"c":2,"d":3,"e":4,"f":5,"g":6,"h":7,"i":8,"abcdefgh3":"z"}
  ])");
  for (int round = 0; round < 3; ++round) {
    EXPECT_EQ(list[0]["abcdefgh2"].stringValue(), "y");
    EXPECT_EQ(list[1]["abcdefgh1"].stringValue(), "p");
    EXPECT_EQ(list[2]["abcdefgh2"].stringValue(), "r");
    EXPECT_FALSE(list[2]["abcdefgh1"].exists());
    EXPECT_FALSE(list[3]["abcdefgh2"].exists());
    EXPECT_EQ(list[3]["abcdefgh3"].stringValue(), "z");
    EXPECT_EQ(list[3]["i"].intValue(), 8);
    std::string key = "abcdefgh2";  // the same storage, other contents
    EXPECT_EQ(list[0][key].stringValue(), "y");
    key = "abcdefgh1";
    EXPECT_EQ(list[0][key].stringValue(), "x");
  }
}

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

std::string compact(const JSON& json) {
  return json.serializedData(WritingOptions{}).bytes;
}

WritingOptionsMap byHand(int budget = 10) {
  return {{writingOptionsKeys::castNilToNSNull, true},
          {writingOptionsKeys::maxObjextDepth, budget}};
}

const std::string kFailure = "Could not serialize object to JSON because: JSON is invalid.\n";

// What `write` printed; a write that fails gives no text.
template <typename Write>
std::string printed(Write write) {
  CaptureStdout();
  const std::optional<std::string> text = write();
  std::string out = GetCapturedStdout();
  EXPECT_FALSE(text.has_value());
  return out;
}

TEST(JSONSerialization, WritesStandardJSON) {
  const JSON json(Dictionary{{"b", Array{1, 0.1, true, nullptr, "x"}}, {"a", Dictionary{}}});
  EXPECT_EQ(compact(json), R"({"b":[1,0.1,true,null,"x"],"a":{}})");
  EXPECT_EQ(json.serializedData(WritingOptions::sortedKeys).bytes,
            R"({"a":{},"b":[1,0.1,true,null,"x"]})");
  EXPECT_EQ(json.serializedData().bytes,
            "{\n  \"b\" : [\n    1,\n    0.1,\n    true,\n    null,\n    \"x\"\n  ],\n"
            "  \"a\" : {}\n}");
  EXPECT_EQ(compact(JSON(5)), "5");
  EXPECT_EQ(compact(JSON("t")), "\"t\"");
}

TEST(JSONSerialization, EscapesTextsAndKeys) {
  const JSON json(Dictionary{{"k\"\n", std::string("a\"b\\c\x01\x1f\t\x7f/\xC3\xA9\0", 13)}});
  EXPECT_EQ(compact(json), "{\"k\\\"\\n\":\"a\\\"b\\\\c\\u0001\\u001f\\t\x7f/\xC3\xA9\\u0000\"}");
  EXPECT_EQ(JSON::parseJSON(compact(json)), json);
}

TEST(JSONSerialization, RejectsWhatJSONCannotHold) {
  for (const JSON& bad : {JSON(Array{std::nan("")}), JSON(Array{HUGE_VAL}), JSON(Array{"\xff"}),
                          JSON(Dictionary{{"\xc3", 1}}), JSON(Array{Data{"[]"}}),
                          JSON(Array{std::nullopt}), JSON(Array{Object::other(1)})}) {
    try {
      bad.serializedData();
      ADD_FAILURE() << "written";
    } catch (const std::system_error& error) {
      EXPECT_EQ(error.code(), JSONError::invalidJSON);
    }
  }
}

TEST(JSONSerialization, DeepValuesWriteUpTo1024Levels) {
  const std::string deep = std::string(1024, '[') + std::string(1024, ']');
  EXPECT_EQ(compact(JSON::parseJSON(deep)), deep);

  JSON tooDeep(Array{});
  for (int i = 0; i < 1024; ++i) tooDeep = JSON(Array{tooDeep});
  EXPECT_THROW(tooDeep.serializedData(), std::system_error);
  for (int i = 0; i < 100000; ++i) tooDeep = JSON(Array{tooDeep});
  EXPECT_THROW(tooDeep.serializedData(), std::system_error);
  EXPECT_FALSE(tooDeep.serializedString(byHand(1 << 30)).has_value());
  EXPECT_FALSE(tooDeep
                   .serializedString({{writingOptionsKeys::castNilToNSNull, true},
                                      {writingOptionsKeys::maxObjextDepth, 1LL << 40}})
                   .has_value());
}

TEST(JSONSerialization, SerializedStringOfScalarsIsTheBareTextAndFailuresPrintOneLine) {
  EXPECT_EQ(JSON("a\"b").serializedString(), "a\"b");
  EXPECT_EQ(JSON(21.6).serializedString(), "21.6");
  EXPECT_EQ(JSON(false).serializedString(), "false");
  EXPECT_EQ(JSON::null().serializedString(), "null");
  EXPECT_FALSE(JSON(Object::other(1)).serializedString().has_value());
  EXPECT_EQ(JSON(Array{1}).serializedString(Encoding::utf8, WritingOptions{}), "[1]");
  EXPECT_FALSE(JSON(Array{"\xC3\xA9"}).serializedString(Encoding::ascii).has_value());
  // A failure prints one line and gives no text.
  EXPECT_EQ(printed([] { return JSON(Array{std::nan("")}).serializedString(); }), kFailure);
  const WritingOptionsMap noDepth{{writingOptionsKeys::maxObjextDepth, 0}};
  EXPECT_EQ(printed([&] { return JSON(1).serializedString(noDepth); }), kFailure);
}

TEST(JSONSerialization, OptionMapEntriesOfAnotherTypeCountAsAbsent) {
  const JSON json(Array{1});
  EXPECT_EQ(json.serializedString({{writingOptionsKeys::jsonSerialization, 1},
                                   {writingOptionsKeys::castNilToNSNull, 1},
                                   {writingOptionsKeys::maxObjextDepth, "x"},
                                   {writingOptionsKeys::encoding, 0}}),
            "[\n  1\n]");
  EXPECT_EQ(json.serializedString({{writingOptionsKeys::jsonSerialization, WritingOptions{}}}),
            "[1]");
}

TEST(JSONSerialization, ByHandFollowsItsOwnRules) {
  const JSON list(Array{std::nullopt, "a\"b", 1, Array{"c\\"}, Dictionary{{"k", 2}}, nullptr});
  EXPECT_EQ(list.serializedString(byHand()), R"([null,"a\"b",1,["c\\"],{"k": 2},null])");

  const JSON map(Dictionary{{"q\"", "v"}, {"n", std::nullopt}});
  EXPECT_EQ(map.serializedString(byHand()), R"({"q"": "v","n": null})");  // keys stay as they are

  EXPECT_FALSE(JSON(Array{Object::other(1)}).serializedString(byHand()).has_value());
  EXPECT_EQ(JSON(Array{Data{"[1, 2]"}}).serializedString(byHand()), "[[1,2]]");
}

TEST(JSONSerialization, ByHandBudget) {
  const JSON nested = JSON::parseJSON(R"({"a": {"b": {"c": 1}}})");
  EXPECT_EQ(nested.serializedString(byHand(4)), R"({"a": {"b": {"c": 1}}})");
  EXPECT_EQ(printed([&] { return nested.serializedString(byHand(3)); }), "");  // nested: silent
  EXPECT_EQ(printed([&] { return nested.serializedString(byHand(0)); }), kFailure);
}

}  // namespace
}  // namespace stratovane
