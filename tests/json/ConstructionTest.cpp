// Construction of JSON values from bytes, text, literals and dynamic values.
#include <gtest/gtest.h>

#include "json/JSON.h"

namespace stratovane {
namespace {

JSON parse(std::string_view text) {
  return JSON(Data{std::string(text)}, ReadingOptions{});
}

TEST(JSONConstruction, ParsesADocumentFromBytes) {
  const JSON json = parse(R"({"current": {"temp": 21.6, "weather": [{"description": "rain"}]}})");
  EXPECT_EQ(json.type(), Type::dictionary);
  EXPECT_FALSE(json.error().has_value());
  EXPECT_DOUBLE_EQ(json["current"]["temp"].doubleValue(), 21.6);
  EXPECT_EQ(json["current"]["weather"][0]["description"].stringValue(), "rain");
  EXPECT_EQ(json["current"]["weather"][0]["description"].asString(), "rain");
  EXPECT_FLOAT_EQ(*json["current"]["temp"].asFloat(), 21.6f);
}

TEST(JSONConstruction, BytesThatAreNotJSONThrow) {
  EXPECT_THROW(parse("{"), JSONParseError);
  EXPECT_THROW(parse(""), JSONParseError);
}

}  // namespace
}  // namespace stratovane
