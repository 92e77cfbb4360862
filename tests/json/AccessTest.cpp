// Subscripts, writes through paths, the collection view, and steps through a JSONView, which
// must give exactly what JSON's own subscripts give.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "json/JSON.h"
#include "json/JSONView.h"

namespace stratovane {
namespace {

JSON parse(std::string_view text) {
  return JSON(Data{std::string(text)}, ReadingOptions{});
}

const JSON answer = JSON::parseJSON(R"({
  "current": {"temp": 21.6, "weather": [{"description": "light rain", "icon": "10d"}]},
  "hourly": [{"dt": 1}, {"dt": 2}, {"dt": 3}],
  "nothing": null
})");

TEST(JSONAccess, StepsByKeyIndexAndPath) {
  EXPECT_EQ(answer["current"]["weather"][0]["description"].stringValue(), "light rain");
  EXPECT_FALSE(answer["hourly"][2]["dt"].error().has_value());
  EXPECT_EQ((answer[{"current", "weather", 0, "icon"}].stringValue()), "10d");
  EXPECT_EQ(answer("current", "weather", 0, "icon").stringValue(), "10d");
  EXPECT_EQ((answer[std::vector<JSONKey>{"hourly", 1, "dt"}].intValue()), 2);
  EXPECT_EQ(answer[JSONKey::key("hourly")][JSONKey(0)]["dt"].intValue(), 1);
  EXPECT_EQ(answer[std::vector<JSONKey>{}], answer);
}

TEST(JSONAccess, FailedStepsGiveNullAndTheFirstFailuresError) {
  const std::pair<JSON, JSONError> cases[] = {
      {parse(R"({"daily": []})")["current"]["temp"], JSONError::notExist},
      {answer["hourly"][3], JSONError::indexOutOfBounds},
      {answer["hourly"][-1], JSONError::indexOutOfBounds},
      {answer["hourly"][std::numeric_limits<std::int64_t>::min()], JSONError::indexOutOfBounds},
      {answer["hourly"]["dt"], JSONError::wrongType},
      {answer["current"]["temp"]["x"], JSONError::wrongType},
      {JSON("text")[0], JSONError::wrongType},
      {answer[{"hourly", "x", 0}], JSONError::wrongType},
      {answer["missing"]["more"][0]["deeper"], JSONError::notExist},
      {JSON(Object::other(1))["a"], JSONError::unsupportedType},
  };
  for (const auto& [json, error] : cases) {
    EXPECT_EQ(json.error(), error) << errorMessage(error);
    EXPECT_EQ(json.type(), Type::null);
    EXPECT_FALSE(json.exists());
    EXPECT_EQ(json.doubleValue(), 0);
    EXPECT_FALSE(json.asDouble().has_value());
  }
  EXPECT_TRUE(answer["nothing"].exists());  // a present null is not a missing key
}

TEST(JSONAccess, WritingByKeyAndIndex) {
  JSON json = parse(R"({"list": [1, 2, 3], "name": "a"})");
  json.set("added", JSON(4));
  json.set("name", JSON("b"));
  EXPECT_EQ(json["added"].intValue(), 4);
  EXPECT_EQ(json["name"].stringValue(), "b");
  EXPECT_EQ(json.rawDictionary().keyAt(1), "name");  // a replaced key keeps its place
  EXPECT_EQ(json.rawDictionary().keyAt(2), "added");

  JSON list = json["list"];
  list.set(1, JSON("two"));
  EXPECT_EQ(list[1].stringValue(), "two");
  list.set(3, JSON(4));  // refused: outside, or not an index
  list.set(-1, JSON(4));
  list.set("key", JSON(4));
  EXPECT_EQ(list.count(), 3u);

  JSON nested = parse(R"({"a": {"b": [10, {"c": 1}]}})");  // paths write through temporaries
  nested.set({"a", "b", 1, "c"}, JSON("deep"));
  nested.set({"a", "b", 1, "new"}, JSON(true));
  nested.set({"a", "b", 0}, JSON(11));
  EXPECT_EQ(nested, parse(R"({"a": {"b": [11, {"c": "deep", "new": true}]}})"));
}

TEST(JSONAccess, RefusedWritesChangeNothing) {
  JSON json = parse(R"({"a": {"b": 1}, "list": [1]})");
  const JSON before = json;
  json.set("a", json["missing"]);  // carries an error
  json.set({"missing", "b"}, JSON(2));
  json.set({"list", 5, "x"}, JSON(2));
  json.set({"a", "b", "c"}, JSON(2));  // b is a number
  json.set(std::vector<JSONKey>{}, JSON(2));
  EXPECT_EQ(json, before);

  JSON array(Array{1, 2});
  array.set(0, JSON(Array{})[3]);
  EXPECT_EQ(array[0].intValue(), 1);
}

TEST(JSONAccess, IteratingArraysAndDictionaries) {
  using Seen = std::vector<std::pair<std::string, int>>;
  const auto seen = [](const JSON& json) {
    Seen out;
    for (const auto& [key, value] : json) out.emplace_back(key, value.intValue());
    return out;
  };
  EXPECT_EQ(seen(JSON(Array{5, 6})), (Seen{{"0", 5}, {"1", 6}}));
  EXPECT_EQ(seen(parse(R"({"z": 1, "a": 2, "m": 3})")), (Seen{{"z", 1}, {"a", 2}, {"m", 3}}));
  EXPECT_TRUE(seen(JSON("text")).empty());
  EXPECT_TRUE(JSON("text").isEmpty());
  EXPECT_EQ(JSON::null().count(), 0u);
}

TEST(JSONAccess, MovedFromValuesStayUsableAfterTheDocumentIsGone) {
  JSON list = parse(R"([[1, 2], {"k": [3]}])");
  JSON map = parse(R"({"a": {"b": [4]}})");
  JSON first = std::move(list)[0];
  JSON inner = std::move(map)["a"];
  JSON moved = std::move(first);
  moved = JSON();
  inner = JSON();               // the last holders of both documents are gone
  EXPECT_EQ(list.count(), 0u);  // NOLINT(bugprone-use-after-move): valid but empty
  EXPECT_FALSE(list[0].exists());
  EXPECT_EQ(map.count(), 0u);  // NOLINT(bugprone-use-after-move)
  EXPECT_FALSE(map["a"].exists());
  EXPECT_EQ(first.count(), 0u);  // NOLINT(bugprone-use-after-move)
}

void expectSameRead(const JSON& root, const std::vector<JSONKey>& path) {
  JSONView view(root);
  JSON json = root;
  std::string where = "path";
  for (const JSONKey& step : path) {
    view = view[step];
    json = json[step];
    where += step.isIndex() ? " " + std::to_string(step.indexValue())
                            : " ." + std::string(step.keyValue());
  }
  if (json.type() != Type::unknown) {  // unknowns are never equal
    EXPECT_EQ(view.json(), json) << where;
  }
  EXPECT_EQ(view.json().type(), json.type()) << where;
  EXPECT_EQ(view.type(), json.type()) << where;
  EXPECT_EQ(view.error(), json.error()) << where;
  EXPECT_EQ(view.exists(), json.exists()) << where;
  EXPECT_EQ(view.asString(), json.asString()) << where;
  EXPECT_EQ(view.stringValue(), json.stringValue()) << where;
  EXPECT_EQ(view.asDouble(), json.asDouble()) << where;
  EXPECT_EQ(view.doubleValue(), json.doubleValue()) << where;
  EXPECT_EQ(view.asFloat(), json.asFloat()) << where;
}

// Every path into the value, and from each one a key, the first index and the indices just
// outside.
void expectSameReadsBelow(const JSON& root, std::vector<JSONKey> path = {}) {
  expectSameRead(root, path);
  const JSON here = root[path];
  const auto end = static_cast<std::int64_t>(here.count());
  for (const JSONKey& step : {JSONKey("x"), JSONKey(0), JSONKey(-1), JSONKey(end)}) {
    path.push_back(step);
    expectSameRead(root, path);
    path.pop_back();
  }
  for (const auto& [key, child] : here) {
    path.push_back(here.type() == Type::array ? JSONKey(std::stoll(key)) : JSONKey(key));
    expectSameReadsBelow(root, path);
    path.pop_back();
  }
}

TEST(JSONView, StepsLikeSubscriptsInParsedDocuments) {
  const JSON answer = JSON::parseJSON(R"({
    "current": {"temp": 21.6, "weather": [{"description": "light rain", "icon": "10d"}]},
    "hourly": [{"dt": 1}, {"dt": 2.5}, {"dt": "3"}],
    "flags": [true, false, null, "12.5abc"],
    "big": 18446744073709551615, "negative": -7, "text": "abc", "nothing": null
  })");
  expectSameReadsBelow(answer);
  EXPECT_EQ(JSON(JSONView(answer)["hourly"]).count(), 3u);
}

TEST(JSONView, StepsLikeSubscriptsInBuiltAndChangedValues) {
  JSON answer = JSON::parseJSON(R"({"current": {"temp": 21.6, "weather": [{"icon": "10d"}]}})");
  answer.set("hourly", JSON(Array{Dictionary{{"dt", 1}}, Data{R"({"dt": 2.5})"},
                                  Object::other(1)}));  // bytes are parsed, like JSON(object)
  answer.set("flags", JSON(Array{true, false, nullptr, "12.5abc"}));
  answer.set("text", JSON("abc"));
  expectSameReadsBelow(answer);
  expectSameReadsBelow(JSON(Object::other(1)));
  expectSameReadsBelow(JSON(5));
}

}  // namespace
}  // namespace stratovane
