// Coordinates typed as text, such as "59.33, 18.07" or "33.9°S 151.2°E".
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/MapView.h"

namespace stratovane {

// Two decimal numbers, latitude first, separated by a comma, a semicolon or blanks. Each may
// carry a degree sign and a hemisphere letter after it (N, S, E, W in either case; S and W
// negate, and letters may put the longitude first); a sign together with a letter is refused.
// None unless the whole text is such a pair on the globe (latitude within ±90, longitude ±180).
std::optional<Coordinate> parseCoordinates(std::string_view text);

// "59.33, 18.07": both as shortest round-trip decimals.
std::string coordinateText(Coordinate coordinate);

}  // namespace stratovane
