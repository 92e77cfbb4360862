// One place search from start to end: typed coordinates, or a request to the geocoding service.
#pragma once

#include <string>
#include <string_view>

#include "platform/HttpLoader.h"
#include "services/GeocodingAnswer.h"

namespace stratovane {

// The text as searched: surrounding blanks gone, cut to kMaximumSearchBytes.
std::string searchText(std::string_view typed);

// Whether the text is long enough to search for: two characters or more.
bool isSearchable(std::string_view text);

// Coordinates in the text are found without a request, as one place titled with them. Text
// too short to search for finds nothing. Otherwise blocks on the service's answer: `unreadable`
// says why when the request failed (no answer, an address that is not a URL) as well.
GeocodingAnswer lookUpPlaces(std::string_view typed, std::string_view language,
                             std::string_view endpoint, HttpLoader& loader);

}  // namespace stratovane
