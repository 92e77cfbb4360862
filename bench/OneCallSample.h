// A generated One Call 2.5 answer of realistic shape and size, for benchmarks.
#pragma once

#include <cstdint>
#include <string>

namespace stratovane::bench {

// Deterministic: the same arguments always give the same text. With the default 48 hourly
// entries (plus current, 61 minutely, 8 daily entries and one alert) it is about 40 KB;
// largeOneCallSample() is about 400 KB.
inline std::string oneCallSample(int hourlyCount = 48) {
  std::uint64_t state = 0x9E3779B97F4A7C15u;
  const auto next = [&state] {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
  };
  // A value in [low, high) with two decimals.
  const auto reading = [&](double low, double high) {
    const double value = low + (high - low) * static_cast<double>(next() % 10000) / 10000.0;
    std::string text =
        std::to_string(static_cast<double>(static_cast<long long>(value * 100)) / 100);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
    return text;
  };
  const auto integer = [&](int low, int high) {
    return std::to_string(low + static_cast<int>(next() % static_cast<std::uint64_t>(high - low)));
  };
  struct Condition {
    const char* id;
    const char* main;
    const char* description;
    const char* icon;
  };
  static constexpr Condition conditions[] = {
      {"800", "Clear", "clear sky", "01d"},         {"801", "Clouds", "few clouds", "02d"},
      {"802", "Clouds", "scattered clouds", "03n"}, {"804", "Clouds", "overcast clouds", "04d"},
      {"500", "Rain", "light rain", "10d"},         {"501", "Rain", "moderate rain", "10n"},
      {"600", "Snow", "light snow", "13d"},         {"701", "Mist", "mist", "50n"},
  };
  std::string out;
  out.reserve(static_cast<std::size_t>(hourlyCount) * 420 + 20000);
  const auto weather = [&] {
    const Condition& c = conditions[next() % 8];
    out += "\"weather\": [{\"id\": ";
    out += c.id;
    out += ", \"main\": \"";
    out += c.main;
    out += "\", \"description\": \"";
    out += c.description;
    out += "\", \"icon\": \"";
    out += c.icon;
    out += "\"}]";
  };
  const auto field = [&](const char* name, const std::string& value) {
    out += '"';
    out += name;
    out += "\": ";
    out += value;
    out += ", ";
  };
  // The members that the current and every hourly entry share.
  const auto readings = [&] {
    field("temp", reading(-5, 25));
    field("feels_like", reading(-9, 25));
    field("pressure", integer(980, 1040));
    field("humidity", integer(20, 100));
    field("dew_point", reading(-10, 15));
    field("uvi", reading(0, 8));
    field("clouds", integer(0, 100));
    field("visibility", "10000");
    field("wind_speed", reading(0, 15));
    field("wind_deg", integer(0, 360));
    field("wind_gust", reading(0, 25));
  };
  const std::int64_t start = 1700000000;

  out += "{\"lat\": 59.3293, \"lon\": 18.0686, \"timezone\": \"Europe/Stockholm\", ";
  out += "\"timezone_offset\": 3600, \"current\": {";
  field("dt", std::to_string(start));
  field("sunrise", std::to_string(start - 25000));
  field("sunset", std::to_string(start + 4000));
  readings();
  weather();
  out += "}, \"minutely\": [";
  for (int i = 0; i < 61; ++i) {
    if (i > 0) out += ", ";
    out += "{\"dt\": " + std::to_string(start + 60 * i) + ", \"precipitation\": ";
    out += i % 5 == 0 ? reading(0, 2) : "0";
    out += '}';
  }
  out += "], \"hourly\": [";
  for (int i = 0; i < hourlyCount; ++i) {
    if (i > 0) out += ", ";
    out += '{';
    field("dt", std::to_string(start + 3600 * i));
    readings();
    if (i % 3 == 0) field("rain", "{\"1h\": " + reading(0, 4) + "}");
    weather();
    out += ", \"pop\": " + reading(0, 1) + "}";
  }
  out += "], \"daily\": [";
  for (int i = 0; i < 8; ++i) {
    if (i > 0) out += ", ";
    const std::int64_t day = start + 86400 * i;
    out += '{';
    field("dt", std::to_string(day));
    field("sunrise", std::to_string(day - 25000));
    field("sunset", std::to_string(day + 4000));
    field("moonrise", std::to_string(day - 10000));
    field("moonset", std::to_string(day + 30000));
    field("moon_phase", reading(0, 1));
    out += "\"temp\": {\"day\": " + reading(-5, 25) + ", \"min\": " + reading(-10, 5) +
           ", \"max\": " + reading(5, 30) + ", \"night\": " + reading(-10, 10) +
           ", \"eve\": " + reading(-5, 20) + ", \"morn\": " + reading(-8, 15) + "}, ";
    out += "\"feels_like\": {\"day\": " + reading(-9, 25) + ", \"night\": " + reading(-12, 10) +
           ", \"eve\": " + reading(-9, 20) + ", \"morn\": " + reading(-12, 15) + "}, ";
    field("pressure", integer(980, 1040));
    field("humidity", integer(20, 100));
    field("dew_point", reading(-10, 15));
    field("wind_speed", reading(0, 15));
    field("wind_deg", integer(0, 360));
    field("wind_gust", reading(0, 25));
    weather();
    out += ", \"clouds\": " + integer(0, 100) + ", \"pop\": " + reading(0, 1) +
           ", \"rain\": " + reading(0, 10) + ", \"uvi\": " + reading(0, 8) + "}";
  }
  // Long alert texts, as national weather services send them, bring the answer to about 40 KB.
  static constexpr const char* senders[] = {
      "SMHI Swedish Meteorological and Hydrological Institute",
      "Swedish Civil Contingencies Agency", "Swedish Transport Administration"};
  out += "], \"alerts\": [";
  for (int a = 0; a < 3; ++a) {
    if (a > 0) out += ", ";
    out += "{\"sender_name\": \"";
    out += senders[a];
    out += "\", \"event\": \"Moderate wind warning\", \"start\": ";
    out += std::to_string(start + 7200 * (a + 1)) + ", \"end\": " + std::to_string(start + 50000);
    out += ", \"description\": \"";
    for (int i = 0; i < 38; ++i) {
      out += "Southwesterly winds of " + integer(12, 18) + " to " + integer(19, 25);
      out += " m/s in exposed coastal areas, locally stronger in gusts. Ferry services and ";
      out += "outdoor activities may be affected.\\n";
    }
    out += "\", \"tags\": [\"Wind\"]}";
  }
  out += "]}";
  return out;
}

inline std::string largeOneCallSample() {
  return oneCallSample(1150);
}

}  // namespace stratovane::bench
