// One place search from start to end.
#include "services/PlaceLookup.h"

#include <optional>

#include "services/CoordinateText.h"
#include "services/GeocodingRequest.h"
#include "services/WeatherRequest.h"

namespace stratovane {

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

std::string searchText(std::string_view typed) {
  while (!typed.empty() && isBlank(typed.front())) typed.remove_prefix(1);
  while (!typed.empty() && isBlank(typed.back())) typed.remove_suffix(1);
  if (typed.size() > kMaximumSearchBytes) {
    std::size_t end = kMaximumSearchBytes;
    while (end > 0 && isContinuationByte(typed[end])) --end;
    typed = typed.substr(0, end);
  }
  return std::string(typed);
}

bool isSearchable(std::string_view text) {
  std::size_t characters = 0;
  for (const char c : text) {
    if (!isContinuationByte(c)) ++characters;
  }
  return characters >= 2;
}

GeocodingAnswer lookUpPlaces(std::string_view typed, std::string_view language,
                             std::string_view endpoint, HttpLoader& loader) {
  const std::string text = searchText(typed);
  if (const std::optional<Coordinate> coordinate = parseCoordinates(text))
    return {GeocodingAnswer::Status::found, {Place{*coordinate, {}, {}, {}, {}}}, {}};
  if (!isSearchable(text)) return {GeocodingAnswer::Status::nothingFound, {}, {}};

  const std::string url = geocodingRequestURL(endpoint, text, language);
  if (!isValidURL(url))
    return {GeocodingAnswer::Status::unreadable, {}, "the service address is not a valid URL"};
  const std::optional<std::string> body = loader.load(url);
  if (!body) return {GeocodingAnswer::Status::unreadable, {}, "no answer from the service"};
  return readGeocodingAnswer(*body, kPlacesPerSearch);
}

}  // namespace stratovane
