// The status-bar title built from the stored weather answer for one display mode.
#pragma once

#include <cstdint>
#include <string>

#include "json/JSON.h"
#include "platform/Formatting.h"
#include "platform/UserDefaults.h"

namespace stratovane {

// Modes: 0 description, 1 temperature, 2 chance of rain, 3 cloud cover, 4 temperature and
// description; any other value, or a mode whose members are missing, gives "Error". The emoji of
// current.weather[0].icon and a blank come first whenever that icon is a text. Nothing is trimmed.
std::string statusTitle(const JSON& feed, std::int64_t displayMode, const UserDefaults& defaults,
                        const NumberFormatting& numbers);

}  // namespace stratovane
