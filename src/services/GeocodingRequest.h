// The place search request to the geocoding service: its address and query.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace stratovane {

// Open-Meteo's geocoding search: no key, names in the requested language.
inline constexpr const char* defaultGeocodingEndpoint =
    "https://geocoding-api.open-meteo.com/v1/search";

// How many places one search asks for, and the most that are ever shown.
inline constexpr std::size_t kPlacesPerSearch = 10;

// Longer names are cut, at a character boundary, before they are sent.
inline constexpr std::size_t kMaximumSearchBytes = 200;

// `environment` when set and not empty, else Open-Meteo's.
std::string geocodingEndpointFor(const std::optional<std::string>& environment);

// endpoint + "?name=" + the name percent-encoded + "&count=10&language=" + language +
// "&format=json"; "&" instead of "?" when the endpoint has a query of its own.
std::string geocodingRequestURL(std::string_view endpoint, std::string_view name,
                                std::string_view language);

// Every byte but the unreserved ones (letters, digits, "-._~") as %XX.
std::string percentEncoded(std::string_view text);

}  // namespace stratovane
