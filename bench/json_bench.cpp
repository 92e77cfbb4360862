// JSON value against simdjson's DOM and nlohmann::json: parse, the presentation's reads, copies.
#include <benchmark/benchmark.h>
#include <simdjson.h>

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "OneCallSample.h"
#include "json/JSON.h"
#include "presentation/WeatherAnswer.h"

namespace stratovane {
namespace {

const std::string& sample() {
  static const std::string text = bench::oneCallSample();
  return text;
}

const std::string& largeSample() {
  static const std::string text = bench::largeOneCallSample();
  return text;
}

// JSON(data) on the sample held with `room` bytes to spare after it.
void parseJSONWithRoom(benchmark::State& state, std::size_t room) {
  Data data;
  data.bytes.reserve(sample().size() + room);
  data.bytes = sample();
  for (auto _ : state) {
    JSON json(data, ReadingOptions{});
    benchmark::DoNotOptimize(json);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * sample().size()));
}
// As the HTTP loader delivers a body: with room after it, which the parser reads in place (as
// simdjson's own parse below does).
void parseJSON(benchmark::State& state) {
  parseJSONWithRoom(state, simdjson::SIMDJSON_PADDING);
}
BENCHMARK(parseJSON);
// Bytes with no room after them (reserve gives the exact size here): the parser copies them.
void parseJSONUnpadded(benchmark::State& state) {
  parseJSONWithRoom(state, 0);
}
BENCHMARK(parseJSONUnpadded);

void parseSimdjsonDOM(benchmark::State& state) {
  const simdjson::padded_string padded(sample());
  simdjson::dom::parser parser;
  for (auto _ : state) {
    simdjson::dom::element root;
    if (parser.parse(padded).get(root) != simdjson::SUCCESS) state.SkipWithError("parse failed");
    benchmark::DoNotOptimize(root);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * sample().size()));
}
BENCHMARK(parseSimdjsonDOM);

void parseNlohmann(benchmark::State& state) {
  for (auto _ : state) {
    nlohmann::json json = nlohmann::json::parse(sample());
    benchmark::DoNotOptimize(json);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * sample().size()));
}
BENCHMARK(parseNlohmann);

// One presentation pass over the stored answer: every read of the status title (all five
// display modes), the forecast menu and the forecast window, in the presentation's order.
template <class Answer>
void readPass(const Answer& answer) {
  benchmark::DoNotOptimize(answer.currentIcon());
  benchmark::DoNotOptimize(answer.currentDescription());
  benchmark::DoNotOptimize(answer.currentTemp());
  benchmark::DoNotOptimize(answer.currentlyPrecipProbability());
  benchmark::DoNotOptimize(answer.firstHourPop());
  benchmark::DoNotOptimize(answer.currentClouds());
  benchmark::DoNotOptimize(answer.message());
  for (std::int64_t hour = 0; hour < WeatherAnswer::kHourlyEntries; ++hour) {
    if (!answer.hasHour(hour)) break;
    benchmark::DoNotOptimize(answer.hourIcon(hour));
    benchmark::DoNotOptimize(answer.hourTemp(hour));
    benchmark::DoNotOptimize(answer.hourTime(hour));
    benchmark::DoNotOptimize(answer.hourDescription(hour));
  }
  benchmark::DoNotOptimize(answer.daySunrise());
  benchmark::DoNotOptimize(answer.daySunset());
  benchmark::DoNotOptimize(answer.dayMin());
  benchmark::DoNotOptimize(answer.dayMax());
  benchmark::DoNotOptimize(answer.dayDescription());
  benchmark::DoNotOptimize(answer.dayIcon());
}

// The same reads on nlohmann::json, with the accessors' rules: a missing member or a step of
// the wrong kind gives the fallback, Booleans count as numbers 1 and 0.
using NJSON = nlohmann::json;
const NJSON* member(const NJSON* json, const char* key) {
  if (json == nullptr || !json->is_object()) return nullptr;
  const auto found = json->find(key);
  return found == json->end() ? nullptr : &*found;
}
const NJSON* element(const NJSON* json, std::int64_t index) {
  if (json == nullptr || !json->is_array() || index < 0 ||
      static_cast<std::size_t>(index) >= json->size()) {
    return nullptr;
  }
  return &(*json)[static_cast<std::size_t>(index)];
}
std::optional<double> asDouble(const NJSON* json) {
  if (json && json->is_number()) return json->get<double>();
  if (json && json->is_boolean()) return json->get<bool>() ? 1.0 : 0.0;
  return std::nullopt;
}
std::optional<float> asFloat(const NJSON* json) {
  const auto value = asDouble(json);
  return value ? std::optional<float>(static_cast<float>(*value)) : std::nullopt;
}
std::optional<std::string> asString(const NJSON* json) {
  if (json && json->is_string()) return json->get<std::string>();
  return std::nullopt;
}

// Mirrors WeatherAnswer: every read walks its whole path from the root.
class NlohmannAnswer {
 public:
  explicit NlohmannAnswer(const NJSON& root) : root_(&root) {}
  std::optional<float> currentTemp() const { return asFloat(member(current(), "temp")); }
  std::optional<double> currentClouds() const { return asDouble(member(current(), "clouds")); }
  std::optional<std::string> currentDescription() const {
    return asString(member(weather(current()), "description"));
  }
  std::optional<std::string> currentIcon() const {
    return asString(member(weather(current()), "icon"));
  }
  std::optional<double> currentlyPrecipProbability() const {
    return asDouble(member(member(root_, "currently"), "precipProbability"));
  }
  std::optional<double> firstHourPop() const { return asDouble(member(hour(0), "pop")); }
  bool hasHour(std::int64_t index) const { return hour(index) != nullptr; }
  double hourTime(std::int64_t index) const {
    return asDouble(member(hour(index), "dt")).value_or(0);
  }
  std::optional<float> hourTemp(std::int64_t index) const {
    return asFloat(member(hour(index), "temp"));
  }
  std::string hourDescription(std::int64_t index) const {
    return asString(member(weather(hour(index)), "description")).value_or("");
  }
  std::optional<std::string> hourIcon(std::int64_t index) const {
    return asString(member(weather(hour(index)), "icon"));
  }
  double daySunrise() const { return asDouble(member(day(), "sunrise")).value_or(0); }
  double daySunset() const { return asDouble(member(day(), "sunset")).value_or(0); }
  float dayMin() const { return asFloat(member(member(day(), "temp"), "min")).value_or(0.0f); }
  float dayMax() const { return asFloat(member(member(day(), "temp"), "max")).value_or(0.0f); }
  std::string dayDescription() const {
    return asString(member(weather(day()), "description")).value_or("");
  }
  std::string dayIcon() const { return asString(member(weather(day()), "icon")).value_or(""); }
  std::optional<std::string> message() const { return asString(member(root_, "message")); }

 private:
  const NJSON* current() const { return member(root_, "current"); }
  const NJSON* hour(std::int64_t index) const { return element(member(root_, "hourly"), index); }
  const NJSON* day() const { return element(member(root_, "daily"), 0); }
  static const NJSON* weather(const NJSON* entry) { return element(member(entry, "weather"), 0); }
  const NJSON* root_;
};

void readPassJSON(benchmark::State& state) {
  const JSON feed(Data{sample()}, ReadingOptions{});
  const WeatherAnswer answer(feed);
  for (auto _ : state) readPass(answer);
}
BENCHMARK(readPassJSON);

void readPassNlohmann(benchmark::State& state) {
  const NJSON feed = NJSON::parse(sample());
  const NlohmannAnswer answer(feed);
  for (auto _ : state) readPass(answer);
}
BENCHMARK(readPassNlohmann);

void copyJSON(benchmark::State& state) {
  const JSON feed(Data{sample()}, ReadingOptions{});
  for (auto _ : state) {
    JSON copy = feed;
    benchmark::DoNotOptimize(copy);
  }
}
BENCHMARK(copyJSON);

void pathRead(benchmark::State& state, const std::string& text) {
  const JSON feed(Data{text}, ReadingOptions{});
  const std::int64_t last = static_cast<std::int64_t>(feed["hourly"].count()) - 1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(feed["hourly"][last]["weather"][0]["description"].stringValue());
  }
}
BENCHMARK_CAPTURE(pathRead, 40KB, sample());
BENCHMARK_CAPTURE(pathRead, 400KB, largeSample());

}  // namespace
}  // namespace stratovane

BENCHMARK_MAIN();
