// Why a JSON value is empty, or why a JSON operation failed.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace stratovane {

// The raw values are the error codes.
enum class JSONError : std::int16_t {
  unsupportedType = 999,
  indexOutOfBounds = 900,
  elementTooDeep = 902,
  wrongType = 901,
  notExist = 500,
  invalidJSON = 490,
};

// Accepts exactly the six codes above.
std::optional<JSONError> jsonErrorFromCode(int code) noexcept;

// Key of the one entry of `errorUserInfo`, spelled as the platform spells it.
inline constexpr std::string_view NSLocalizedDescriptionKey = "NSLocalizedDescription";

// "org.stratovane.json.error", the same for every case.
std::string_view errorDomain() noexcept;
inline std::string_view errorDomain(JSONError) noexcept {
  return errorDomain();
}
constexpr int errorCode(JSONError error) noexcept {
  return static_cast<int>(error);
}
// The fixed message of the case; also its localised description.
std::string_view errorMessage(JSONError error) noexcept;
std::map<std::string, std::string> errorUserInfo(JSONError error);

// Handing a JSONError to code that expects a std::error_code keeps domain, code and message:
// the category's name is the domain, its message the case's message.
const std::error_category& jsonErrorCategory() noexcept;
std::error_code make_error_code(JSONError error) noexcept;

}  // namespace stratovane

template <>
struct std::is_error_code_enum<stratovane::JSONError> : std::true_type {};
