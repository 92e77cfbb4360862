// Building the place search request.
#include "services/GeocodingRequest.h"

namespace stratovane {

std::string geocodingEndpointFor(const std::optional<std::string>& environment) {
  return environment && !environment->empty() ? *environment : defaultGeocodingEndpoint;
}

std::string percentEncoded(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(text.size() * 3);
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    const bool unreserved = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                            (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' ||
                            byte == '_' || byte == '~';
    if (unreserved) {
      encoded += c;
    } else {
      encoded += '%';
      encoded += kHex[byte >> 4];
      encoded += kHex[byte & 0xF];
    }
  }
  return encoded;
}

std::string geocodingRequestURL(std::string_view endpoint, std::string_view name,
                                std::string_view language) {
  std::string url(endpoint);
  url += endpoint.find('?') == std::string_view::npos ? "?name=" : "&name=";
  url += percentEncoded(name);
  url += "&count=" + std::to_string(kPlacesPerSearch);
  url += "&language=";
  url += percentEncoded(language);
  url += "&format=json";
  return url;
}

}  // namespace stratovane
