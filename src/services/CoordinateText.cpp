// Reading coordinates typed as text.
#include "services/CoordinateText.h"

#include <charconv>
#include <cmath>
#include <utility>

#include "presentation/formatReading.h"

namespace stratovane {

namespace {

enum class Axis { unknown, latitude, longitude };

struct Component {
  double value = 0;
  Axis axis = Axis::unknown;
};

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

void skipBlanks(std::string_view& text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
}

// The axis a hemisphere letter names, and whether it negates.
std::pair<Axis, bool> hemisphere(char letter) {
  switch (letter) {
    case 'N':
    case 'n':
      return {Axis::latitude, false};
    case 'S':
    case 's':
      return {Axis::latitude, true};
    case 'E':
    case 'e':
      return {Axis::longitude, false};
    case 'W':
    case 'w':
      return {Axis::longitude, true};
    default:
      return {Axis::unknown, false};
  }
}

// One number with its optional degree sign and hemisphere letter, taken from the front.
std::optional<Component> takeComponent(std::string_view& text) {
  bool negative = false;
  bool signed_ = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    signed_ = true;
    text.remove_prefix(1);
  }
  std::size_t length = 0;
  while (length < text.size() && isDigit(text[length])) ++length;
  if (length == 0) return std::nullopt;
  if (length < text.size() && text[length] == '.') {
    ++length;
    while (length < text.size() && isDigit(text[length])) ++length;
  }
  Component component;
  // from_chars reads the same digits in every locale.
  const auto [end, error] = std::from_chars(text.data(), text.data() + length, component.value);
  if (error != std::errc() || end != text.data() + length) return std::nullopt;
  text.remove_prefix(length);
  // Blanks belong to this number only when its degree sign or letter follows them.
  std::string_view rest = text;
  skipBlanks(rest);
  for (std::string_view degree : {"\u00B0", "\u00BA"}) {
    if (rest.starts_with(degree)) {
      rest.remove_prefix(degree.size());
      text = rest;
      skipBlanks(rest);
      break;
    }
  }
  if (!rest.empty()) {
    const auto [axis, southOrWest] = hemisphere(rest.front());
    if (axis != Axis::unknown) {
      if (signed_) return std::nullopt;
      component.axis = axis;
      negative = negative != southOrWest;
      rest.remove_prefix(1);
      text = rest;
    }
  }
  if (negative) component.value = -component.value;
  return component;
}

}  // namespace

std::optional<Coordinate> parseCoordinates(std::string_view text) {
  skipBlanks(text);
  const std::optional<Component> first = takeComponent(text);
  if (!first) return std::nullopt;
  bool separated = first->axis != Axis::unknown;
  if (!text.empty() && (text.front() == ' ' || text.front() == '\t')) separated = true;
  skipBlanks(text);
  if (!text.empty() && (text.front() == ',' || text.front() == ';')) {
    text.remove_prefix(1);
    separated = true;
  }
  skipBlanks(text);
  if (!separated) return std::nullopt;
  const std::optional<Component> second = takeComponent(text);
  skipBlanks(text);
  if (!second || !text.empty()) return std::nullopt;

  const bool swapped = first->axis == Axis::longitude || second->axis == Axis::latitude;
  const Component& latitude = swapped ? *second : *first;
  const Component& longitude = swapped ? *first : *second;
  if (latitude.axis == Axis::longitude || longitude.axis == Axis::latitude) return std::nullopt;
  if (!(std::fabs(latitude.value) <= 90) || !(std::fabs(longitude.value) <= 180))
    return std::nullopt;
  return Coordinate{latitude.value, longitude.value};
}

std::string coordinateText(Coordinate coordinate) {
  return plainDouble(coordinate.latitude) + ", " + plainDouble(coordinate.longitude);
}

}  // namespace stratovane
