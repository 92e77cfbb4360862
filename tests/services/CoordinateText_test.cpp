// Coordinates typed as text: what counts as a pair, and what is left to the place search.
#include "services/CoordinateText.h"

#include <gtest/gtest.h>

namespace stratovane {
namespace {

TEST(CoordinateText, PairsInTheWaysPeopleTypeThem) {
  const struct {
    const char* text;
    Coordinate expected;
  } cases[] = {
      {"59.33, 18.07", {59.33, 18.07}},
      {"59.33,18.07", {59.33, 18.07}},
      {"59.33; 18.07", {59.33, 18.07}},
      {"  59.33   18.07 ", {59.33, 18.07}},
      {"-33.87 151.21", {-33.87, 151.21}},
      {"+1.5\t-0.25", {1.5, -0.25}},
      {"59.33°, 18.07°", {59.33, 18.07}},
      {"33.87° S, 151.21° E", {-33.87, 151.21}},
      {"33.87S 151.21E", {-33.87, 151.21}},
      {"40.7n 74w", {40.7, -74}},
      {"40.7N74W", {40.7, -74}},
      {"74 W, 40.7 N", {40.7, -74}},  // the letters say which is which
      {"18.07E 59.33", {59.33, 18.07}},
      {"59.33 18.07E", {59.33, 18.07}},
      {"90, 180", {90, 180}},
      {"-90; -180", {-90, -180}},
      {"59., 18", {59, 18}},
      {"59.4040015148249, 17.994089135126462", {59.4040015148249, 17.994089135126462}},
  };
  for (const auto& [text, expected] : cases) {
    const std::optional<Coordinate> parsed = parseCoordinates(text);
    ASSERT_TRUE(parsed) << text;
    EXPECT_EQ(*parsed, expected) << text;
  }
}

TEST(CoordinateText, AnythingElseIsLeftToThePlaceSearch) {
  for (const char* text : {"",
                           "59.33",
                           "59.33,",
                           ", 18.07",
                           "Stockholm",
                           "59 Stockholm",
                           "12345 Berlin",
                           "59.33, 18.07, 3",
                           "90.5, 0",
                           "0, 180.01",
                           "-59 N, 18",
                           "59 N, 18 N",
                           "18 E, 59 E",
                           "1e5, 3",
                           "inf, 0",
                           "nan 0",
                           "59,33 18,07",
                           "5933.18.07",
                           ".5, .5",
                           "59.33 ,, 18.07",
                           "59.33° 18.07 km",
                           "０, ０"}) {
    EXPECT_FALSE(parseCoordinates(text)) << text;
  }
}

}  // namespace
}  // namespace stratovane
