// Cost of one presentation pass (title, forecast entries, forecast text) on a ~40 KB answer.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "OneCallSample.h"
#include "json/JSON.h"
#include "platform/UserDefaults.h"
#include "platform/system/IcuTimeFormatting.h"
#include "platform/system/LocaleNumberFormatting.h"
#include "presentation/Forecast.h"
#include "presentation/StatusTitle.h"

namespace stratovane {
namespace {

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
  const std::string text = bench::oneCallSample();
  const JSON feed(Data{text}, {});
  const BenchDefaults defaults;
  const LocaleNumberFormatting numbers("de_DE.UTF-8");
  const IcuTimeFormatting times("de_DE.UTF-8");
  std::int64_t mode = 0;
  for (auto _ : state) {
    std::string title = statusTitle(feed, mode, defaults, numbers);
    Forecast forecast = buildForecast(feed, defaults, numbers, times, 0);
    benchmark::DoNotOptimize(title);
    benchmark::DoNotOptimize(forecast);
    mode = (mode + 1) % 5;
  }
  state.counters["answer_bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_PresentationPass);

void BM_StatusTitle(benchmark::State& state) {
  const JSON feed(Data{bench::oneCallSample()}, {});
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
