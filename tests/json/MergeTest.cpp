// Merging JSON values.
#include <gtest/gtest.h>

#include "json/JSON.h"

namespace stratovane {
namespace {

TEST(JSONMerge, DictionariesMergeKeyByKey) {
  JSON receiver(Dictionary{{"a", 1}, {"b", Array{1}}});
  receiver.merge(JSON(Dictionary{{"b", Array{2}}, {"c", 3}}));
  EXPECT_EQ(receiver, JSON(Dictionary{{"a", 1}, {"b", Array{1, 2}}, {"c", 3}}));
  EXPECT_EQ(receiver.rawDictionary().keyAt(2), "c");
}

TEST(JSONMerge, NestedDictionariesAndReplacedKinds) {
  const JSON receiver = JSON::parseJSON(R"({"x": {"keep": 1, "deep": {"n": "a"}}, "t": "text"})");
  const JSON other = JSON::parseJSON(R"({"x": {"deep": {"n": "b", "m": null}}, "t": 5})");
  const JSON merged = receiver.merged(other);
  EXPECT_EQ(merged,
            JSON::parseJSON(R"({"x": {"keep": 1, "deep": {"n": "b", "m": null}}, "t": 5})"));
  EXPECT_EQ(receiver["t"].stringValue(), "text");  // merged leaves the receiver alone
  EXPECT_EQ(receiver("x", "deep", "n").stringValue(), "a");
  EXPECT_FALSE(receiver("x", "deep", "m").exists());
}

TEST(JSONMerge, DifferentKindsAtTheTopThrowAndChangeNothing) {
  JSON text("text");
  try {
    text.merge(JSON(1));
    ADD_FAILURE() << "merge did not throw";
  } catch (const std::system_error& error) {
    EXPECT_EQ(error.code(), JSONError::wrongType);
  }
  EXPECT_EQ(text, JSON("text"));
}

TEST(JSONMerge, ArraysConcatenateAndScalarsReplace) {
  EXPECT_EQ(JSON(Array{1, "a"}).merged(JSON(Array{Array{2}})), JSON(Array{1, "a", Array{2}}));
  EXPECT_EQ(JSON(1).merged(JSON(2)), JSON(2));
  EXPECT_EQ(JSON("a").merged(JSON("b")), JSON("b"));
  EXPECT_EQ(JSON::null().merged(JSON::null()), JSON::null());
}

TEST(JSONMerge, DeepDictionariesMergeWithoutRecursion) {
  Dictionary left{{"leaf", 1}};
  Dictionary right{{"other", 2}};
  for (int i = 0; i < 100000; ++i) {
    left = Dictionary{{"k", left}};
    right = Dictionary{{"k", right}};
  }
  const JSON merged = JSON(left).merged(JSON(right));
  JSON cursor = merged;
  for (int i = 0; i < 100000; ++i) cursor = cursor["k"];
  EXPECT_EQ(cursor, JSON(Dictionary{{"leaf", 1}, {"other", 2}}));
}

}  // namespace
}  // namespace stratovane
