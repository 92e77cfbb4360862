// Fuzzes the Open-Meteo adapter: whatever the service sends, the One Call shape it makes holds no
// null, writes as JSON and keeps at most the hours the menu can use.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "json/JSON.h"
#include "services/OpenMeteoAnswer.h"

namespace stratovane {
namespace {

void check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "openmeteo_fuzz: %s\n", what);
  std::abort();
}

void checkNoNull(const JSON& value, int depth) {
  check(depth < 8, "deeper than the One Call shape");
  check(value.type() != Type::null, "a member made of a null");
  if (value.type() == Type::number)
    check(std::isfinite(value.doubleValue()), "a number off the line");
  for (const auto& [key, child] : value) checkNoNull(child, depth + 1);
}

}  // namespace
}  // namespace stratovane

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace stratovane;
  JSON answer;
  try {
    answer = JSON(Data{std::string(reinterpret_cast<const char*>(data), size)}, ReadingOptions{});
  } catch (const std::exception&) {
    return 0;
  }
  for (const char* language : {"en", "he"}) {
    const JSON oneCall = oneCallFromOpenMeteo(answer, language);
    check(oneCall.type() == Type::dictionary, "not a dictionary");
    checkNoNull(oneCall, 0);
    check(oneCall["hourly"].count() <= kOpenMeteoHours, "more hours than kept");
    for (const auto& [position, hour] : oneCall["hourly"])
      check(hour["dt"].type() == Type::number, "an hour without its time");
    check(oneCall.serializedString().has_value(), "not writable as JSON");
  }
  return 0;
}
