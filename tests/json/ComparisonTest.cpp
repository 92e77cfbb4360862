// Equality, ordering and merging of JSON values.
#include <gtest/gtest.h>

#include <cmath>

#include "json/JSON.h"

namespace stratovane {
namespace {

enum Order { none, less, equal, greater };

TEST(JSONComparison, EqualityAndOrderByKind) {
  const JSON parsed = JSON::parseJSON(R"({"b": [1, {"c": null}], "a": "x"})");
  const JSON unknown(Object::other(1));
  const struct {
    JSON a, b;
    Order order;
  } cases[] = {
      {JSON(1), JSON(1.0), equal},
      {JSON(1), JSON(2), less},
      {JSON(2.5), JSON(2), greater},
      {JSON(std::uint64_t{18446744073709551615u}), JSON(-1), greater},
      {JSON("a"), JSON("a"), equal},
      {JSON("abc"), JSON("abd"), less},
      {JSON("b"), JSON("a"), greater},
      {JSON(true), JSON(true), equal},
      {JSON(true), JSON(false), none},  // only numbers and texts are ordered
      {JSON(true), JSON(1), none},
      {JSON(1), JSON("1"), none},
      {unknown, unknown, none},
      {JSON::null(), JSON::null(), equal},
      {JSON::null(), JSON::parseJSON("{}")["missing"], equal},  // errors are not compared
      {JSON(Array{1}), JSON(Array{1}), equal},
      {JSON(Array{1}), JSON(Array{2}), none},
      {JSON(Array{1, 2}), JSON(Array{2, 1}), none},
      {JSON(Array{1}), JSON(Array{1, 1}), none},
      {JSON(Array{Object::other(1)}), JSON(Array{Object::other(1)}), none},
      {JSON(Dictionary{{"a", 1}}), JSON(Dictionary{{"a", 2}}), none},
      // Dictionary order is ignored.
      {parsed, JSON(Dictionary{{"a", "x"}, {"b", Array{1.0, Dictionary{{"c", nullptr}}}}}), equal},
      {parsed, JSON(Dictionary{{"a", "x"}, {"b", Array{1, Dictionary{}}}}), none},
      {parsed, JSON(Dictionary{{"a", "x"}}), none},
      // Inside containers numbers compare by value, as the platform's number objects do.
      {JSON(Array{true}), JSON(Array{1}), equal},
      {JSON(Array{std::nullopt}), JSON(Array{nullptr}), equal},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "case " << &c - cases);  // descriptions may not print
    EXPECT_EQ(c.a == c.b, c.order == equal);
    EXPECT_EQ(c.a != c.b, c.order != equal);
    EXPECT_EQ(c.a < c.b, c.order == less);
    EXPECT_EQ(c.a > c.b, c.order == greater);
    EXPECT_EQ(c.a <= c.b, c.order == less || c.order == equal);
    EXPECT_EQ(c.a >= c.b, c.order == greater || c.order == equal);
  }
}

// Values built by hand have no depth limit: comparing, merging and freeing them must not recurse.
TEST(JSONComparison, DeepValuesCompareMergeAndGoWithoutRecursion) {
  JSON a(Array{});
  JSON b(Array{});
  Dictionary left{{"leaf", 1}};
  Dictionary right{{"other", 2}};
  for (int i = 0; i < 200000; ++i) {
    a = JSON(Array{a});
    b = JSON(Array{b});
    left = Dictionary{{"k", left}};
    right = Dictionary{{"k", right}};
  }
  EXPECT_EQ(a, b);
  EXPECT_NE(a, JSON(Array{b}));
  EXPECT_NE(JSON(Array{a, 1}), JSON(Array{a, 2}));
  JSON cursor = JSON(left).merged(JSON(right));
  for (int i = 0; i < 200000; ++i) cursor = cursor["k"];
  EXPECT_EQ(cursor, JSON(Dictionary{{"leaf", 1}, {"other", 2}}));
}
TEST(JSONMerge, DictionariesKeyByKeyArraysConcatenateOtherKindsReplace) {
  const JSON receiver = JSON::parseJSON(R"({"x": {"keep": 1, "deep": {"n": "a"}}, "t": "text"})");
  const JSON other = JSON::parseJSON(R"({"x": {"deep": {"n": "b", "m": null}}, "t": 5})");
  const JSON merged = receiver.merged(other);
  EXPECT_EQ(merged,
            JSON::parseJSON(R"({"x": {"keep": 1, "deep": {"n": "b", "m": null}}, "t": 5})"));
  EXPECT_EQ(receiver["t"].stringValue(), "text");  // merged leaves the receiver alone
  EXPECT_EQ(receiver("x", "deep", "n").stringValue(), "a");
  EXPECT_FALSE(receiver("x", "deep", "m").exists());

  JSON lists(Dictionary{{"a", 1}, {"b", Array{1}}});
  lists.merge(JSON(Dictionary{{"b", Array{2, Array{3}}}, {"c", 3}}));
  EXPECT_EQ(lists, JSON(Dictionary{{"a", 1}, {"b", Array{1, 2, Array{3}}}, {"c", 3}}));
  EXPECT_EQ(lists.rawDictionary().keyAt(2), "c");
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

}  // namespace
}  // namespace stratovane
