// Codes, messages and the error category of JSONError.
#include "json/JSONError.h"

namespace stratovane {
namespace {

class JSONErrorCategory final : public std::error_category {
 public:
  const char* name() const noexcept override { return "org.stratovane.json.error"; }
  std::string message(int code) const override {
    auto error = jsonErrorFromCode(code);
    return error ? std::string(errorMessage(*error)) : "Unknown JSON error.";
  }
};

}  // namespace

std::optional<JSONError> jsonErrorFromCode(int code) noexcept {
  switch (code) {
    case 999:
    case 900:
    case 902:
    case 901:
    case 500:
    case 490:
      return static_cast<JSONError>(code);
    default:
      return std::nullopt;
  }
}

std::string_view errorDomain() noexcept {
  return "org.stratovane.json.error";
}

std::string_view errorMessage(JSONError error) noexcept {
  switch (error) {
    case JSONError::unsupportedType:
      return "It is an unsupported type.";
    case JSONError::indexOutOfBounds:
      return "Array Index is out of bounds.";
    case JSONError::elementTooDeep:
      return "Element too deep. Increase maxObjectDepth and make sure there is no reference loop.";
    case JSONError::wrongType:
      return "Couldn't merge, because the JSONs differ in type on top level.";
    case JSONError::notExist:
      return "Dictionary key does not exist.";
    case JSONError::invalidJSON:
      return "JSON is invalid.";
  }
  return "Unknown JSON error.";
}

std::map<std::string, std::string> errorUserInfo(JSONError error) {
  return {{std::string(NSLocalizedDescriptionKey), std::string(errorMessage(error))}};
}

const std::error_category& jsonErrorCategory() noexcept {
  static const JSONErrorCategory category;
  return category;
}

std::error_code make_error_code(JSONError error) noexcept {
  return {static_cast<int>(error), jsonErrorCategory()};
}

}  // namespace stratovane
