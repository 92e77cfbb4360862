// The geocoding service's answer: the places found, nothing, or a failure.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/MapView.h"

namespace stratovane {

// One place of an answer; texts are as the service wrote them, less control characters.
struct Place {
  Coordinate coordinate;
  std::string name;
  std::string region;  // the first administrative level ("admin1")
  std::string country;
  std::string countryCode;  // ISO 3166-1 alpha-2 as given, possibly empty
};

struct GeocodingAnswer {
  enum class Status { found, nothingFound, unreadable };
  Status status = Status::unreadable;
  std::vector<Place> places;  // only when found: at most the limit, in the service's order
  std::string reason;         // only when unreadable: why, for people
};

// Reads Open-Meteo's answer: {"results": [{"name", "latitude", "longitude", "admin1",
// "country", "country_code", ...}, ...]}, no "results" when nothing matched, and
// {"error": true, "reason": "..."} on errors. A result without both coordinates as numbers on
// the globe is skipped; an answer whose results are all skipped found nothing.
GeocodingAnswer readGeocodingAnswer(std::string_view body, std::size_t limit);

// "Name, Region, Country", leaving out the parts that are empty; the coordinates when all are.
std::string placeTitle(const Place& place);

// The flag emoji for a two-letter country code (two regional indicator symbols); empty for
// anything else.
std::string flagEmoji(std::string_view countryCode);

}  // namespace stratovane
