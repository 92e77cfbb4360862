// JSON value against simdjson's DOM and nlohmann::json: parse, the presentation's reads, copies.
#include <benchmark/benchmark.h>
#include <simdjson.h>

#include <nlohmann/json.hpp>
#include <string>

#include "OneCallSample.h"
#include "json/JSON.h"

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

void parseJSON(benchmark::State& state) {
  const Data data{sample()};
  for (auto _ : state) {
    JSON json(data, ReadingOptions{});
    benchmark::DoNotOptimize(json);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * sample().size()));
}
BENCHMARK(parseJSON);

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

// What the status title, the forecast menu and the forecast window read from one answer.
void readPass(const JSON& feed) {
  benchmark::DoNotOptimize(feed["current"]["temp"].doubleValue());
  benchmark::DoNotOptimize(feed["current"]["clouds"].doubleValue());
  benchmark::DoNotOptimize(feed["current"]["weather"][0]["description"].stringValue());
  benchmark::DoNotOptimize(feed["current"]["weather"][0]["icon"].stringValue());
  benchmark::DoNotOptimize(feed["currently"]["precipProbability"].doubleValue());
  for (int i = 0; i < 12; ++i) {
    benchmark::DoNotOptimize(feed["hourly"][i]["dt"].doubleValue());
    benchmark::DoNotOptimize(feed["hourly"][i]["weather"][0]["description"].stringValue());
    benchmark::DoNotOptimize(feed["hourly"][i]["temp"].doubleValue());
    benchmark::DoNotOptimize(feed["hourly"][i]["weather"][0]["icon"].stringValue());
  }
  benchmark::DoNotOptimize(feed["daily"][0]["sunrise"].doubleValue());
  benchmark::DoNotOptimize(feed["daily"][0]["sunset"].doubleValue());
  benchmark::DoNotOptimize(feed["daily"][0]["temp"]["min"].doubleValue());
  benchmark::DoNotOptimize(feed["daily"][0]["temp"]["max"].doubleValue());
  benchmark::DoNotOptimize(feed["daily"][0]["weather"][0]["description"].stringValue());
  benchmark::DoNotOptimize(feed["daily"][0]["weather"][0]["icon"].stringValue());
}

// The same reads on nlohmann::json with the same defaults: 0 and "" for anything missing.
using NJSON = nlohmann::json;
const NJSON* member(const NJSON* json, const char* key) {
  if (json == nullptr || !json->is_object()) return nullptr;
  const auto found = json->find(key);
  return found == json->end() ? nullptr : &*found;
}
const NJSON* element(const NJSON* json, std::size_t index) {
  if (json == nullptr || !json->is_array() || index >= json->size()) return nullptr;
  return &(*json)[index];
}
double number(const NJSON* json) {
  return json && json->is_number() ? json->get<double>() : 0;
}
std::string text(const NJSON* json) {
  return json && json->is_string() ? json->get<std::string>() : std::string();
}

// Every read walks its whole path from the root, exactly as the JSON version does.
void readPass(const NJSON& root) {
  const NJSON* feed = &root;
  const auto weather = [&](const NJSON* entry) { return element(member(entry, "weather"), 0); };
  benchmark::DoNotOptimize(number(member(member(feed, "current"), "temp")));
  benchmark::DoNotOptimize(number(member(member(feed, "current"), "clouds")));
  benchmark::DoNotOptimize(text(member(weather(member(feed, "current")), "description")));
  benchmark::DoNotOptimize(text(member(weather(member(feed, "current")), "icon")));
  benchmark::DoNotOptimize(number(member(member(feed, "currently"), "precipProbability")));
  for (std::size_t i = 0; i < 12; ++i) {
    benchmark::DoNotOptimize(number(member(element(member(feed, "hourly"), i), "dt")));
    benchmark::DoNotOptimize(
        text(member(weather(element(member(feed, "hourly"), i)), "description")));
    benchmark::DoNotOptimize(number(member(element(member(feed, "hourly"), i), "temp")));
    benchmark::DoNotOptimize(text(member(weather(element(member(feed, "hourly"), i)), "icon")));
  }
  const auto day = [&] { return element(member(feed, "daily"), 0); };
  benchmark::DoNotOptimize(number(member(day(), "sunrise")));
  benchmark::DoNotOptimize(number(member(day(), "sunset")));
  benchmark::DoNotOptimize(number(member(member(day(), "temp"), "min")));
  benchmark::DoNotOptimize(number(member(member(day(), "temp"), "max")));
  benchmark::DoNotOptimize(text(member(weather(day()), "description")));
  benchmark::DoNotOptimize(text(member(weather(day()), "icon")));
}

void readPassJSON(benchmark::State& state) {
  const JSON feed(Data{sample()}, ReadingOptions{});
  for (auto _ : state) readPass(feed);
}
BENCHMARK(readPassJSON);

void readPassNlohmann(benchmark::State& state) {
  const NJSON feed = NJSON::parse(sample());
  for (auto _ : state) readPass(feed);
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
