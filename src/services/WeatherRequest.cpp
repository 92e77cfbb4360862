// Building and checking the weather request URL.
#include "services/WeatherRequest.h"

#include <utility>

#include "platform/Settings.h"
#include "presentation/formatReading.h"

namespace stratovane {

bool WeatherQuery::openMeteo() const {
  return isOpenMeteoEndpoint(endpoint);
}

WeatherQuery weatherQueryFor(const std::optional<std::string>& environment,
                             const UserDefaults& defaults) {
  WeatherQuery query;
  if (environment && !environment->empty()) {
    query.endpoint = *environment;
  } else {
    auto chosen = defaults.stringForKey(SettingsKey::weatherEndpoint);
    query.endpoint = chosen && !chosen->empty() ? std::move(*chosen) : defaultWeatherEndpoint;
  }
  query.latitude = defaults.doubleForKey(SettingsKey::latitude);
  query.longitude = defaults.doubleForKey(SettingsKey::longitude);
  query.metric = defaults.integerForKey(SettingsKey::units) == 0;
  query.language = feedLanguageCode(defaults.integerForKey(SettingsKey::language));
  query.apiKey = defaults.stringForKey(SettingsKey::apiKey).value_or("");
  return query;
}

bool isOpenMeteoEndpoint(std::string_view endpoint) {
  endpoint = endpoint.substr(0, endpoint.find_first_of("?#"));
  // The path starts after the authority; a host named like the path does not count.
  const std::size_t scheme = endpoint.find("://");
  const std::size_t path = endpoint.find('/', scheme == std::string_view::npos ? 0 : scheme + 3);
  return path != std::string_view::npos && endpoint.substr(path).ends_with("/v1/forecast");
}

namespace {

std::string oneCallRequestURL(const WeatherQuery& query) {
  std::string url = query.endpoint;
  url += "?lat=";
  url += plainDouble(query.latitude);
  url += "&lon=";
  url += plainDouble(query.longitude);
  url += query.metric ? "&units=metric" : "&units=imperial";
  url += "&lang=";
  url += query.language;
  url += "&appid=";
  url += query.apiKey;
  return url;
}

std::string openMeteoRequestURL(const WeatherQuery& query) {
  std::string url = query.endpoint;
  url += "?latitude=";
  url += plainDouble(query.latitude);
  url += "&longitude=";
  url += plainDouble(query.longitude);
  url +=
      "&current=temperature_2m,weather_code,cloud_cover,is_day"
      "&hourly=temperature_2m,weather_code,precipitation_probability,cloud_cover,is_day"
      "&daily=weather_code,temperature_2m_max,temperature_2m_min,sunrise,sunset"
      "&timeformat=unixtime&timezone=auto&forecast_days=2";
  if (!query.metric) url += "&temperature_unit=fahrenheit";
  return url;
}

}  // namespace

std::string weatherRequestURL(const WeatherQuery& query) {
  return query.openMeteo() ? openMeteoRequestURL(query) : oneCallRequestURL(query);
}

namespace {
bool isHexDigit(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
}  // namespace

bool isValidURL(std::string_view text) {
  if (text.empty()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c <= 0x20 || c >= 0x7F) return false;
    if (std::string_view("<>\"{}|\\^`").find(static_cast<char>(c)) != std::string_view::npos)
      return false;
    if (c == '%') {
      if (i + 2 >= text.size() || !isHexDigit(text[i + 1]) || !isHexDigit(text[i + 2]))
        return false;
    }
  }
  return true;
}

}  // namespace stratovane
