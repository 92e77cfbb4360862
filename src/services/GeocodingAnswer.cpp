// Reading the geocoding service's answer.
#include "services/GeocodingAnswer.h"

#include <cmath>
#include <cstdint>
#include <exception>
#include <optional>
#include <utility>

#include "json/JSON.h"
#include "platform/Translation.h"
#include "services/CoordinateText.h"

namespace stratovane {

namespace {

// The service's texts end up in one-line list entries and tab-separated output.
constexpr std::size_t kMaximumTextBytes = 200;

// A text member without control characters or surrounding blanks; empty when absent or not a
// text.
std::string textOf(const JSON& value) {
  if (value.type() != Type::string) return {};
  const std::string raw = value.stringValue();
  std::string text;
  for (const char c : raw) {
    const auto byte = static_cast<unsigned char>(c);
    const bool control = byte < 0x20 || byte == 0x7F;
    if (control) {
      if (!text.empty() && text.back() != ' ') text += ' ';
    } else if (!(c == ' ' && (text.empty() || text.back() == ' '))) {
      text += c;
    }
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  if (text.size() > kMaximumTextBytes) {
    std::size_t end = kMaximumTextBytes;
    // Back to the first byte of a UTF-8 sequence: the parser has checked the encoding.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    text.resize(end);
  }
  return text;
}

std::optional<double> numberOf(const JSON& value) {
  if (value.type() != Type::number) return std::nullopt;
  return value.asDouble();
}

std::optional<Place> placeOf(const JSON& result) {
  if (result.type() != Type::dictionary) return std::nullopt;
  const std::optional<double> latitude = numberOf(result["latitude"]);
  const std::optional<double> longitude = numberOf(result["longitude"]);
  if (!latitude || !longitude || !(std::fabs(*latitude) <= 90) || !(std::fabs(*longitude) <= 180))
    return std::nullopt;
  return Place{{*latitude, *longitude},
               textOf(result["name"]),
               textOf(result["admin1"]),
               textOf(result["country"]),
               textOf(result["country_code"])};
}

GeocodingAnswer unreadable(std::string reason) {
  return {GeocodingAnswer::Status::unreadable, {}, std::move(reason)};
}

}  // namespace

GeocodingAnswer readGeocodingAnswer(std::string_view body, std::size_t limit) {
  JSON answer;
  try {
    answer = JSON(Data{std::string(body)}, ReadingOptions{});
  } catch (const std::exception&) {
    return unreadable(trLater("the answer is not JSON"));
  }
  if (answer.type() != Type::dictionary)
    return unreadable(trLater("the answer is not a JSON object"));
  const JSON error = answer["error"];
  if (error.type() == Type::bool_ && error.boolValue()) {
    const std::string reason = textOf(answer["reason"]);
    return unreadable(reason.empty() ? trLater("the service reported an error")
                                     : "the service said: " + reason);
  }
  const JSON results = answer["results"];
  if (results.type() == Type::null) return {GeocodingAnswer::Status::nothingFound, {}, {}};
  if (results.type() != Type::array) return unreadable(trLater("the results are not a list"));

  GeocodingAnswer found{GeocodingAnswer::Status::found, {}, {}};
  const std::size_t count = results.count();
  for (std::size_t i = 0; i < count && found.places.size() < limit; ++i) {
    if (std::optional<Place> place = placeOf(results[static_cast<std::int64_t>(i)]))
      found.places.push_back(std::move(*place));
  }
  if (found.places.empty()) found.status = GeocodingAnswer::Status::nothingFound;
  return found;
}

std::string placeTitle(const Place& place) {
  std::string title;
  for (const std::string* part : {&place.name, &place.region, &place.country}) {
    if (part->empty()) continue;
    if (!title.empty()) title += ", ";
    title += *part;
  }
  return title.empty() ? coordinateText(place.coordinate) : title;
}

std::string flagEmoji(std::string_view countryCode) {
  if (countryCode.size() != 2) return {};
  std::string flag;
  for (const char c : countryCode) {
    const char upper = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    if (upper < 'A' || upper > 'Z') return {};
    // U+1F1E6 REGIONAL INDICATOR SYMBOL LETTER A onwards, four bytes in UTF-8.
    const unsigned symbol = 0x1F1E6 + static_cast<unsigned>(upper - 'A');
    flag += static_cast<char>(0xF0 | (symbol >> 18));
    flag += static_cast<char>(0x80 | ((symbol >> 12) & 0x3F));
    flag += static_cast<char>(0x80 | ((symbol >> 6) & 0x3F));
    flag += static_cast<char>(0x80 | (symbol & 0x3F));
  }
  return flag;
}

}  // namespace stratovane
