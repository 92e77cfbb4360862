// The place search: its request, the service's answer shapes, and one lookup from end to end.
#include <gtest/gtest.h>

#include <string>

#include "services/GeocodingAnswer.h"
#include "services/GeocodingRequest.h"
#include "services/PlaceLookup.h"
#include "support/FakePlatform.h"

namespace stratovane {
namespace {

using Status = GeocodingAnswer::Status;

// Shaped as Open-Meteo answers a search for "Uppsala" (two of its results).
constexpr const char* kTwoResults = R"({"results":[
  {"id":2666199,"name":"Uppsala","latitude":59.85882,"longitude":17.63889,"elevation":25.0,
   "feature_code":"PPLA","country_code":"SE","admin1_id":2666218,"admin2_id":2666198,
   "timezone":"Europe/Stockholm","population":133117,"country_id":2661886,"country":"Sweden",
   "admin1":"Uppsala","admin2":"Uppsala Kommun"},
  {"id":2666218,"name":"Uppsala län","latitude":60.0,"longitude":17.75,"elevation":37.0,
   "feature_code":"ADM1","country_code":"SE","admin1_id":2666218,"timezone":"Europe/Stockholm",
   "population":383713,"country_id":2661886,"country":"Sweden","admin1":"Uppsala"}],
  "generationtime_ms":0.8})";

TEST(GeocodingRequest, TheNameIsSentEscapedWithCountLanguageAndFormat) {
  EXPECT_EQ(geocodingRequestURL(defaultGeocodingEndpoint, "Uppsala", "sv"),
            "https://geocoding-api.open-meteo.com/v1/search?name=Uppsala&count=10&language=sv"
            "&format=json");
  const std::string url = geocodingRequestURL("http://127.0.0.1:1/s?key=k",
                                              "Rock & \"Roll\" #1 100% ü 東京 🌧 a+b", "en");
  EXPECT_EQ(url,
            "http://127.0.0.1:1/s?key=k&name=Rock%20%26%20%22Roll%22%20%231%20100%25%20%C3%BC%20"
            "%E6%9D%B1%E4%BA%AC%20%F0%9F%8C%A7%20a%2Bb&count=10&language=en&format=json");
  EXPECT_EQ(geocodingEndpointFor(""), defaultGeocodingEndpoint);
}

TEST(GeocodingAnswer, ResultsInTheServiceOrderWithTitlesAndFlags) {
  const GeocodingAnswer answer = readGeocodingAnswer(kTwoResults, 10);
  ASSERT_EQ(answer.status, Status::found);
  ASSERT_EQ(answer.places.size(), 2U);
  EXPECT_EQ(answer.places[0].coordinate, (Coordinate{59.85882, 17.63889}));
  EXPECT_EQ(placeTitle(answer.places[0]), "Uppsala, Uppsala, Sweden");
  EXPECT_EQ(flagEmoji(answer.places[0].countryCode), "\U0001F1F8\U0001F1EA");
  EXPECT_EQ(placeTitle(answer.places[1]), "Uppsala län, Uppsala, Sweden");

  const GeocodingAnswer first = readGeocodingAnswer(kTwoResults, 1);
  ASSERT_EQ(first.places.size(), 1U);
  EXPECT_EQ(first.places[0].name, "Uppsala");
}

TEST(GeocodingAnswer, MissingAndOddFieldsAreLeftOutNeverShownAsNullOrEmptyCommas) {
  const GeocodingAnswer answer = readGeocodingAnswer(R"({"results":[
    {"name":"Nowhere","latitude":1,"longitude":2},
    {"name":"Atoll","latitude":-1.5,"longitude":-170,"country":"Kiribati","admin1":null},
    {"name":null,"latitude":3,"longitude":4,"admin1":"Region","country":""},
    {"latitude":5,"longitude":6},
    {"name":"<b>Bold</b> & \"quoted\"\u0007\n\tline","latitude":7,"longitude":8,
     "country_code":"gb"},
    {"name":"Tabs","latitude":9,"longitude":10,"country_code":"G1"},
    {"name":"   ","latitude":11,"longitude":12,"country":42,"country_code":"XYZ"}]})",
                                                     10);
  ASSERT_EQ(answer.status, Status::found);
  std::vector<std::string> titles;
  std::vector<std::string> flags;
  for (const Place& place : answer.places) {
    titles.push_back(placeTitle(place));
    flags.push_back(flagEmoji(place.countryCode));
  }
  EXPECT_EQ(titles,
            (std::vector<std::string>{"Nowhere", "Atoll, Kiribati", "Region", "5.0, 6.0",
                                      "<b>Bold</b> & \"quoted\" line", "Tabs", "11.0, 12.0"}));
  EXPECT_EQ(flags, (std::vector<std::string>{"", "", "", "", "\U0001F1EC\U0001F1E7", "", ""}));
}

TEST(GeocodingAnswer, ResultsWithoutUsableCoordinatesAreSkipped) {
  const GeocodingAnswer answer = readGeocodingAnswer(R"({"results":[
    {"name":"NoCoordinates"},
    {"name":"Nulls","latitude":null,"longitude":null},
    {"name":"Texts","latitude":"59","longitude":"18"},
    {"name":"Booleans","latitude":true,"longitude":false},
    {"name":"North of the pole","latitude":90.5,"longitude":0},
    {"name":"Past the date line","latitude":0,"longitude":-180.5},
    {"name":"Huge","latitude":1e308,"longitude":1e308},
    "not an object", 7, null,
    {"name":"Kept","latitude":-90,"longitude":180}]})",
                                                     10);
  ASSERT_EQ(answer.status, Status::found);
  ASSERT_EQ(answer.places.size(), 1U);
  EXPECT_EQ(answer.places[0].name, "Kept");

  const GeocodingAnswer none =
      readGeocodingAnswer(R"({"results":[{"name":"Nulls","latitude":null,"longitude":1}]})", 10);
  EXPECT_EQ(none.status, Status::nothingFound);
}

TEST(GeocodingAnswer, NoResultsFoundNothingAndErrorsOrOtherShapesAreUnreadable) {
  for (const char* nothing : {R"({"generationtime_ms":0.3})", R"({"results":[]})",
                              R"({"results":null})", R"({"error":false})"}) {
    EXPECT_EQ(readGeocodingAnswer(nothing, 10).status, Status::nothingFound) << nothing;
  }
  const GeocodingAnswer refused = readGeocodingAnswer(
      R"({"error":true,"reason":"Parameter count must be between 1 and 100.\u001b[31m"})", 10);
  EXPECT_EQ(refused.status, Status::unreadable);
  EXPECT_EQ(refused.reason, "the service said: Parameter count must be between 1 and 100. [31m");
  EXPECT_EQ(readGeocodingAnswer(R"({"error":true})", 10).reason, "the service reported an error");

  const std::pair<const char*, const char*> unreadable[] = {
      {"<html>502 Bad Gateway</html>", "the answer is not JSON"},
      {"", "the answer is not JSON"},
      {R"({"results":[)", "the answer is not JSON"},
      {R"([{"name":"x"}])", "the answer is not a JSON object"},
      {R"("results")", "the answer is not a JSON object"},
      {R"({"results":{"name":"x","latitude":1,"longitude":2}})", "the results are not a list"},
      {R"({"results":"none"})", "the results are not a list"},
  };
  for (const auto& [body, reason] : unreadable) {
    const GeocodingAnswer answer = readGeocodingAnswer(body, 10);
    EXPECT_EQ(answer.status, Status::unreadable) << body;
    EXPECT_EQ(answer.reason, reason) << body;
  }
}

TEST(PlaceLookup, CoordinatesAndShortTextsNeedNoRequestNamesAskTheServiceOnce) {
  testing::FakeHttpLoader loader;
  loader.response = kTwoResults;
  const GeocodingAnswer typed = lookUpPlaces(" 59.33, 18.07 ", "en", "http://s/", loader);
  ASSERT_EQ(typed.status, Status::found);
  EXPECT_EQ(typed.places[0].coordinate, (Coordinate{59.33, 18.07}));
  EXPECT_EQ(placeTitle(typed.places[0]), "59.33, 18.07");
  EXPECT_EQ(lookUpPlaces(" 東 ", "en", "http://s/", loader).status, Status::nothingFound);
  EXPECT_TRUE(loader.urls.empty());

  EXPECT_EQ(lookUpPlaces("  東京 ", "sv", "http://s/", loader).status, Status::found);
  EXPECT_EQ(loader.urls,
            (std::vector<std::string>{
                "http://s/?name=%E6%9D%B1%E4%BA%AC&count=10&language=sv&format=json"}));

  loader.response = std::nullopt;
  const GeocodingAnswer offline = lookUpPlaces("Uppsala", "en", "http://s/", loader);
  EXPECT_EQ(offline.status, Status::unreadable);
  EXPECT_EQ(offline.reason, "no answer from the service");
  const GeocodingAnswer badAddress = lookUpPlaces("Uppsala", "en", "http://s s/", loader);
  EXPECT_EQ(badAddress.reason, "the service address is not a valid URL");
  EXPECT_EQ(loader.urls.size(), 2U);
}

}  // namespace
}  // namespace stratovane
