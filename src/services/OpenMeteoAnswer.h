// Open-Meteo's forecast answer translated into the One Call shape that the presentation reads.
#pragma once

#include <cstddef>
#include <string_view>

#include "json/JSON.h"

namespace stratovane {

// The hours kept from the current one on; the menu shows twelve, later ones stay for a menu that
// outlives its fetch.
inline constexpr std::size_t kOpenMeteoHours = 48;

// From an answer of any shape, with descriptions in `language` (a `lang` code of the language
// table):
//   current.{dt,temp,clouds,weather[0].{icon,description}} from `current`;
//   hourly[i].{dt,temp,pop,clouds,weather[0]} from the hour that holds current.time on (from the
//   first hour without `current`), at most kOpenMeteoHours of them;
//   daily[0].{sunrise,sunset,temp.{min,max},weather[0]} of the day that holds current.time (else
//   the first day), its icon the day's;
//   message from the `reason` of an error answer.
// Times may be seconds since 1970 or ISO 8601 local times, read with utc_offset_seconds. A null,
// a value of the wrong kind, an array too short or a weather code outside the table leaves the
// member out, never 0; an hour without a readable time is left out whole.
JSON oneCallFromOpenMeteo(const JSON& answer, std::string_view language);

}  // namespace stratovane
