// Steps through a view give exactly what JSON's own subscripts give.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "json/JSON.h"
#include "json/JSONView.h"

namespace stratovane {
namespace {

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

// Every path into the value, and from each one a key, an index and an index outside.
void expectSameReadsBelow(const JSON& root, std::vector<JSONKey> path = {}) {
  expectSameRead(root, path);
  for (const JSONKey& step : {JSONKey("x"), JSONKey(0), JSONKey(-1)}) {
    path.push_back(step);
    expectSameRead(root, path);
    path.pop_back();
  }
  const JSON here = root[path];
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
