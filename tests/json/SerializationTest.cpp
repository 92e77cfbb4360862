// Writing JSON values as bytes and text, the hand-built writer and the printed description.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "json/JSON.h"

namespace stratovane {
namespace {

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
  const JSON json(Dictionary{{"b", Array{1, 2.5, true, nullptr, "x"}}, {"a", Dictionary{}}});
  EXPECT_EQ(compact(json), R"({"b":[1,2.5,true,null,"x"],"a":{}})");
  EXPECT_EQ(json.serializedData(WritingOptions::sortedKeys).bytes,
            R"({"a":{},"b":[1,2.5,true,null,"x"]})");
  EXPECT_EQ(json.serializedData().bytes,
            "{\n  \"b\" : [\n    1,\n    2.5,\n    true,\n    null,\n    \"x\"\n  ],\n"
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

TEST(JSONSerialization, ParsedDocumentsRoundTrip) {
  const std::string text =
      R"({"lat":52.52,"list":[{"dt":1618308000,"t":-0.5,"w":[{"d":"Rain \u00e9"}]}],"u":18446744073709551615,"n":null,"b":false})";
  const JSON json = JSON::parseJSON(text);
  EXPECT_EQ(compact(json), R"({"lat":52.52,"list":[{"dt":1618308000,"t":-0.5,"w":[{"d":"Rain )"
                           "\xC3\xA9"
                           R"("}]}],"u":18446744073709551615,"n":null,"b":false})");
  EXPECT_EQ(JSON::parseJSON(*json.serializedString()), json);
}

TEST(JSONSerialization, DeepValuesWriteUpTo1024Levels) {
  const std::string deep = std::string(1024, '[') + std::string(1024, ']');
  EXPECT_EQ(compact(JSON::parseJSON(deep)), deep);

  JSON tooDeep(Array{});
  for (int i = 0; i < 1024; ++i) tooDeep = JSON(Array{tooDeep});
  EXPECT_THROW(tooDeep.serializedData(), std::system_error);
  for (int i = 0; i < 100000; ++i) tooDeep = JSON(Array{tooDeep});
  EXPECT_THROW(tooDeep.serializedData(), std::system_error);
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

  JSON deep(Array{});
  for (int i = 0; i < 100000; ++i) deep = JSON(Array{deep});
  EXPECT_FALSE(deep.serializedString(byHand(1 << 30)).has_value());
  EXPECT_FALSE(deep.serializedString({{writingOptionsKeys::castNilToNSNull, true},
                                      {writingOptionsKeys::maxObjextDepth, 1LL << 40}})
                   .has_value());
}

TEST(JSONSerialization, Description) {
  EXPECT_EQ(JSON("raw text").description(), "raw text");
  EXPECT_EQ(JSON(Object::other(1)).description(), "unknown");
  std::ostringstream out;
  out << JSON(Dictionary{{"a", 1}});
  EXPECT_EQ(out.str(), "{\n  \"a\" : 1\n}");
}

}  // namespace
}  // namespace stratovane
