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
  for (const JSONKey& step : path) {
    view = view[step];
    json = json[step];
  }
  const std::string where = ::testing::PrintToString(json.description());
  EXPECT_EQ(view.json(), json) << where;
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

const std::vector<std::vector<JSONKey>> paths = {
    {},
    {"current", "temp"},
    {"current", "weather", 0, "description"},
    {"current", "weather", 0, "icon", 0},
    {"current", "weather", 1},
    {"current", "weather", -1},
    {"currently", "precipProbability"},
    {"hourly", "x", 0},
    {"hourly", 1, "dt"},
    {"hourly", 2, "dt"},
    {"flags", 0},
    {"flags", 1},
    {"flags", 2},
    {"flags", 3},
    {"big"},
    {"negative"},
    {"text"},
    {"nothing"},
    {"nothing", "more"},
    {0},
};

TEST(JSONView, StepsLikeSubscriptsInParsedDocuments) {
  const JSON answer = JSON::parseJSON(R"({
    "current": {"temp": 21.6, "weather": [{"description": "light rain", "icon": "10d"}]},
    "hourly": [{"dt": 1}, {"dt": 2.5}, {"dt": "3"}],
    "flags": [true, false, null, "12.5abc"],
    "big": 18446744073709551615, "negative": -7, "text": "abc", "nothing": null
  })");
  for (const auto& path : paths) expectSameRead(answer, path);
  const JSON hourly = JSONView(answer)["hourly"];
  EXPECT_EQ(hourly.count(), 3u);
}

TEST(JSONView, StepsLikeSubscriptsInBuiltAndChangedValues) {
  JSON answer = JSON::parseJSON(R"({"current": {"temp": 21.6, "weather": [{"icon": "10d"}]}})");
  answer.set("hourly", JSON(Array{Dictionary{{"dt", 1}}, Data{R"({"dt": 2.5})"},
                                  Object::other(1)}));  // bytes are parsed, like JSON(object)
  answer.set("flags", JSON(Array{true, false, nullptr, "12.5abc"}));
  answer.set("text", JSON("abc"));
  for (const auto& path : paths) expectSameRead(answer, path);
  expectSameRead(answer, {"hourly", 2, "x"});
  expectSameRead(JSON(Object::other(1)), {"a"});
  expectSameRead(JSON(5), {});
}

}  // namespace
}  // namespace stratovane
