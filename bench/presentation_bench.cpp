// Cost of one presentation pass (title, forecast entries, forecast text) on a ~40 KB answer.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "json/JSON.h"
#include "platform/UserDefaults.h"
#include "platform/system/IcuTimeFormatting.h"
#include "platform/system/LocaleNumberFormatting.h"
#include "presentation/Forecast.h"
#include "presentation/StatusTitle.h"

namespace stratovane {
namespace {

// A One Call 2.5 answer of the usual shape: current, 61 minutely, 48 hourly and 8 daily entries,
// and alerts that bring it to about 40 KB.
std::string oneCallAnswer() {
  // Built with += only: GCC 12 warns falsely (-Wrestrict) on chains of operator+ at -O3.
  const char* icons[] = {"01d", "02n", "10d", "04n", "13d", "50d"};
  std::string out;
  const auto weather = [&](int i) {
    out += R"("weather": [{"id": 800, "main": "Clear", "description": "scattered clouds )";
    out += std::to_string(i);
    out += R"(", "icon": ")";
    out += icons[i % 6];
    out += R"("}])";
  };
  const std::int64_t start = 1700000000;
  out += R"({"lat": 59.404, "lon": 17.9941, "timezone": "Europe/Stockholm",
    "timezone_offset": 3600, "current": {"dt": 1700000000, "sunrise": 1699945000,
    "sunset": 1699973000, "temp": 4.37, "feels_like": 1.2, "pressure": 1012, "humidity": 87,
    "dew_point": 2.38, "uvi": 0, "clouds": 75, "visibility": 10000, "wind_speed": 4.12,
    "wind_deg": 230, )";
  weather(0);
  out += R"(}, "minutely": [)";
  for (int i = 0; i < 61; ++i) {
    out += i ? R"(,{"dt": )" : R"({"dt": )";
    out += std::to_string(start + 60 * i);
    out += R"(, "precipitation": 0.12})";
  }
  out += R"(], "hourly": [)";
  for (int i = 0; i < 48; ++i) {
    out += i ? R"(,{"dt": )" : R"({"dt": )";
    out += std::to_string(start + 3600 * i);
    out += R"(, "temp": )";
    out += std::to_string(3.5 + 0.17 * i);
    out += R"(, "feels_like": 0.86, "pressure": 1013, "humidity": 86, "dew_point": 1.6,
           "uvi": 0.12, "clouds": 88, "visibility": 10000, "wind_speed": 5.01, "wind_deg": 226,
           "wind_gust": 11.3, )";
    weather(i);
    out += R"(, "pop": 0.29, "rain": {"1h": 0.31}})";
  }
  out += R"(], "daily": [)";
  for (int i = 0; i < 8; ++i) {
    out += i ? R"(,{"dt": )" : R"({"dt": )";
    out += std::to_string(start + 86400 * i);
    out += R"(, "sunrise": 1699945000, "sunset": 1699973000, "moonrise": 1699950000,
           "moonset": 1699980000, "moon_phase": 0.05, "temp": {"day": 5.1, "min": -1.25,
           "max": 6.75, "night": 2.2, "eve": 3.3, "morn": 0.4}, "feels_like": {"day": 2.1,
           "night": -1.3, "eve": 0.2, "morn": -2.4}, "pressure": 1011, "humidity": 80,
           "dew_point": 1.9, "wind_speed": 6.2, "wind_deg": 240, "wind_gust": 13.1, )";
    weather(i);
    out += R"(, "clouds": 95, "pop": 0.8, "rain": 3.27, "uvi": 0.4})";
  }
  out += R"(], "alerts": [)";
  for (int i = 0; out.size() < 40 * 1024 - 400; ++i) {
    out += i ? "," : "";
    out += R"({"sender_name": "SMHI", "event": "Wind warning", "start": 1700000000,
           "end": 1700050000, "description": ")";
    out.append(300, 'w');
    out += R"(", "tags": ["Wind"]})";
  }
  out += "]}";
  return out;
}

class BenchDefaults : public UserDefaults {
 public:
  std::int64_t integerForKey(const std::string& key) const override {
    return key == "decimals" ? 1 : 0;
  }
  double doubleForKey(const std::string&) const override { return 0; }
  std::optional<std::string> stringForKey(const std::string&) const override { return {}; }
  void setInteger(std::int64_t, const std::string&) override {}
  void setDouble(double, const std::string&) override {}
  void setString(const std::string&, const std::string&) override {}
  void removeObject(const std::string&) override {}
  void registerDefaults(const std::vector<std::pair<std::string, std::string>>&) override {}
};

void BM_PresentationPass(benchmark::State& state) {
  const std::string text = oneCallAnswer();
  const JSON feed(Data{text}, {});
  const BenchDefaults defaults;
  const LocaleNumberFormatting numbers("de_DE.UTF-8");
  const IcuTimeFormatting times("de_DE.UTF-8");
  std::int64_t mode = 0;
  for (auto _ : state) {
    std::string title = statusTitle(feed, mode, defaults, numbers);
    Forecast forecast = buildForecast(feed, defaults, numbers, times);
    benchmark::DoNotOptimize(title);
    benchmark::DoNotOptimize(forecast);
    mode = (mode + 1) % 5;
  }
  state.counters["answer_bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_PresentationPass);

void BM_StatusTitle(benchmark::State& state) {
  const JSON feed(Data{oneCallAnswer()}, {});
  const BenchDefaults defaults;
  const LocaleNumberFormatting numbers("de_DE.UTF-8");
  std::int64_t mode = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(statusTitle(feed, mode, defaults, numbers));
    mode = (mode + 1) % 5;
  }
}
BENCHMARK(BM_StatusTitle);

// Fourteen of these (twelve hours, sunrise, sunset) are in every pass.
void BM_ShortTime(benchmark::State& state) {
  const IcuTimeFormatting times("de_DE.UTF-8");
  double instant = 1700000000;
  for (auto _ : state) {
    benchmark::DoNotOptimize(times.shortTime(instant));
    instant += 3600;
  }
}
BENCHMARK(BM_ShortTime);

}  // namespace
}  // namespace stratovane

BENCHMARK_MAIN();
