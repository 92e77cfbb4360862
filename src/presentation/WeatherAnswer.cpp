// The one place that knows which members of the weather answer are read, and their fallbacks.
#include "presentation/WeatherAnswer.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <tuple>
#include <utility>

namespace stratovane {

namespace {

// Language codes compare without regard to case, "pt-BR" as "pt_br".
bool sameLanguage(std::string_view one, std::string_view other) {
  const auto fold = [](char c) {
    return c == '-' ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  };
  return std::ranges::equal(one, other, {}, fold, fold);
}

std::string alertDescription(const JSON& description, std::string_view language) {
  if (const std::optional<std::string> text = description.asString()) return *text;
  for (std::int64_t i = 0; description[i].exists(); ++i) {
    const std::optional<std::string> entryLanguage = description[i]["language"].asString();
    if (entryLanguage && sameLanguage(*entryLanguage, language))
      return description[i]["description"].asString().value_or("");
  }
  return description[0]["description"].asString().value_or("");
}

}  // namespace

// Each path is applied one subscript at a time; a miss at any step yields a null value, which the
// accessor turns into its fallback.

std::optional<float> WeatherAnswer::currentTemp() const {
  return answer_["current"]["temp"].asFloat();
}

std::optional<double> WeatherAnswer::currentClouds() const {
  return answer_["current"]["clouds"].asDouble();
}

std::optional<std::string> WeatherAnswer::currentDescription() const {
  return answer_["current"]["weather"][0]["description"].asString();
}

std::optional<std::string> WeatherAnswer::currentIcon() const {
  return answer_["current"]["weather"][0]["icon"].asString();
}

std::optional<double> WeatherAnswer::currentlyPrecipProbability() const {
  return answer_["currently"]["precipProbability"].asDouble();
}

std::optional<double> WeatherAnswer::firstHourPop() const {
  return answer_["hourly"][0]["pop"].asDouble();
}

bool WeatherAnswer::hasHour(std::int64_t hour) const {
  return answer_["hourly"][hour].exists();
}

double WeatherAnswer::hourTime(std::int64_t hour) const {
  return answer_["hourly"][hour]["dt"].doubleValue();
}

std::optional<float> WeatherAnswer::hourTemp(std::int64_t hour) const {
  return answer_["hourly"][hour]["temp"].asFloat();
}

std::string WeatherAnswer::hourDescription(std::int64_t hour) const {
  return answer_["hourly"][hour]["weather"][0]["description"].stringValue();
}

std::optional<std::string> WeatherAnswer::hourIcon(std::int64_t hour) const {
  return answer_["hourly"][hour]["weather"][0]["icon"].asString();
}

double WeatherAnswer::daySunrise() const {
  return answer_["daily"][0]["sunrise"].doubleValue();
}

double WeatherAnswer::daySunset() const {
  return answer_["daily"][0]["sunset"].doubleValue();
}

float WeatherAnswer::dayMin() const {
  return answer_["daily"][0]["temp"]["min"].asFloat().value_or(0.0f);
}

float WeatherAnswer::dayMax() const {
  return answer_["daily"][0]["temp"]["max"].asFloat().value_or(0.0f);
}

std::string WeatherAnswer::dayDescription() const {
  return answer_["daily"][0]["weather"][0]["description"].stringValue();
}

std::string WeatherAnswer::dayIcon() const {
  return answer_["daily"][0]["weather"][0]["icon"].stringValue();
}

std::optional<std::string> WeatherAnswer::message() const {
  return answer_["message"].asString();
}

std::vector<WeatherAlert> WeatherAnswer::alerts(std::string_view language, double now) const {
  std::vector<WeatherAlert> alerts;
  // Looked up rather than searched, so that a hostile answer of many alerts stays fast.
  std::map<std::tuple<std::string, std::string, std::optional<double>>, std::size_t> positions;
  std::set<std::pair<std::size_t, std::string>> descriptions;
  const JSON entries = answer_["alerts"];
  for (std::int64_t i = 0; entries[i].exists(); ++i) {
    const JSON entry = entries[i];
    std::optional<std::string> event = entry["event"].asString();
    if (!event) continue;
    const std::optional<double> end = entry["end"].asDouble();
    if (end && *end <= now) continue;  // over at its end
    std::string sender = entry["sender_name"].asString().value_or("");
    const std::optional<double> start = entry["start"].asDouble();
    const auto [position, added] = positions.try_emplace({*event, sender, end}, alerts.size());
    if (added) {
      alerts.push_back({std::move(*event), std::move(sender), start, end, {}});
    } else if (WeatherAlert& merged = alerts[position->second]; !start || !merged.start) {
      merged.start.reset();  // one of them holds from no known time: the merged one too
    } else {
      merged.start = std::min(*merged.start, *start);
    }
    std::string description = alertDescription(entry["description"], language);
    if (!description.empty() && descriptions.emplace(position->second, description).second)
      alerts[position->second].descriptions.push_back(std::move(description));
  }
  return alerts;
}

bool WeatherAnswer::refusedKey() const {
  const JSON code = answer_["cod"];
  if (const auto number = code.asNumber()) {
    return !isBoolNumber(*number) && number->doubleValue() == 401;
  }
  return code.asString() == "401";
}

}  // namespace stratovane
