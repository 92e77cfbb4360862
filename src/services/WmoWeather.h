// The WMO weather codes of Open-Meteo answers as the icon codes and descriptions of One Call.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace stratovane {

// The icon code of a One Call answer ("01d" ... "50n") for a WMO weather code; `day` picks the
// "d" or "n" ending. None for a code outside the table.
std::optional<std::string> iconForWmoCode(std::int64_t code, bool day);

// The description in the weather service's lower-case style in the language whose `lang` code is
// given (one of "da","de","en","es","et","fr","el","he","is","it","lv","nl","no","pl","pt","ru",
// "fi","sv"; any other code gives English). None for a code outside the table.
std::optional<std::string_view> descriptionForWmoCode(std::int64_t code, std::string_view language);

}  // namespace stratovane
