// Equality and ordering of JSON values.
#include <gtest/gtest.h>

#include <cmath>

#include "json/JSON.h"

namespace stratovane {
namespace {

TEST(JSONComparison, EqualityByKind) {
  EXPECT_EQ(JSON(1), JSON(1.0));
  EXPECT_EQ(JSON("a"), JSON("a"));
  EXPECT_NE(JSON("a"), JSON("b"));
  EXPECT_EQ(JSON(true), JSON(true));
  EXPECT_NE(JSON(true), JSON(1));
  EXPECT_NE(JSON(1), JSON("1"));
  EXPECT_NE(JSON(Object::other(1)), JSON(Object::other(1)));
  EXPECT_EQ(JSON::null(), JSON::parseJSON("{}")["missing"]);  // errors are not compared
}

TEST(JSONComparison, ContainersCompareTheirContents) {
  const JSON parsed = JSON::parseJSON(R"({"b": [1, {"c": null}], "a": "x"})");
  const JSON built(Dictionary{{"a", "x"}, {"b", Array{1.0, Dictionary{{"c", nullptr}}}}});
  EXPECT_EQ(parsed, built);  // dictionary order is ignored
  EXPECT_NE(parsed, JSON(Dictionary{{"a", "x"}, {"b", Array{1, Dictionary{}}}}));
  EXPECT_NE(parsed, JSON(Dictionary{{"a", "x"}}));
  EXPECT_NE(JSON(Array{1, 2}), JSON(Array{2, 1}));
  EXPECT_NE(JSON(Array{1}), JSON(Array{1, 1}));
  EXPECT_NE(JSON(Array{Object::other(1)}), JSON(Array{Object::other(1)}));
  // Inside containers numbers compare by value, as the platform's number objects do.
  EXPECT_EQ(JSON(Array{true}), JSON(Array{1}));
  EXPECT_EQ(JSON(Array{std::nullopt}), JSON(Array{nullptr}));
}

TEST(JSONComparison, NumbersAndTextsAreOrdered) {
  EXPECT_LT(JSON(1), JSON(2));
  EXPECT_GT(JSON(2.5), JSON(2));
  EXPECT_LE(JSON(2), JSON(2.0));
  EXPECT_GE(JSON(std::uint64_t{18446744073709551615u}), JSON(-1));
  EXPECT_LT(JSON("abc"), JSON("abd"));
  EXPECT_GE(JSON("b"), JSON("a"));
  EXPECT_FALSE(JSON(2) <= JSON(1));
  EXPECT_FALSE(JSON("a") > JSON("b"));
}

TEST(JSONComparison, DifferentKindsAreNeitherLessGreaterNorEqual) {
  const JSON number(1);
  const JSON text("1");
  EXPECT_FALSE(number < text);
  EXPECT_FALSE(number > text);
  EXPECT_FALSE(number <= text);
  EXPECT_FALSE(number >= text);
  EXPECT_FALSE(number == text);
}

TEST(JSONComparison, OtherKindsOrderOnlyByEquality) {
  EXPECT_FALSE(JSON(true) < JSON(false));
  EXPECT_FALSE(JSON(false) > JSON(true));
  EXPECT_TRUE(JSON(true) <= JSON(true));
  EXPECT_FALSE(JSON(true) >= JSON(false));
  EXPECT_FALSE(JSON(Array{1}) < JSON(Array{2}));
  EXPECT_TRUE(JSON(Array{1}) >= JSON(Array{1}));
  EXPECT_FALSE(JSON(Dictionary{{"a", 1}}) <= JSON(Dictionary{{"a", 2}}));
  EXPECT_TRUE(JSON::null() <= JSON::null());
  EXPECT_TRUE(JSON::null() >= JSON::null());
  EXPECT_FALSE(JSON::null() < JSON::null());
  const JSON unknown(Object::other(1));
  EXPECT_FALSE(unknown <= unknown);
  EXPECT_FALSE(unknown >= unknown);
}

TEST(JSONComparison, DeepValuesCompareWithoutRecursion) {
  JSON a(Array{});
  JSON b(Array{});
  for (int i = 0; i < 200000; ++i) {
    a = JSON(Array{a});
    b = JSON(Array{b});
  }
  EXPECT_EQ(a, b);
  EXPECT_NE(a, JSON(Array{b}));
  EXPECT_NE(JSON(Array{a, 1}), JSON(Array{a, 2}));
}

}  // namespace
}  // namespace stratovane
