// The request URL and the URL check.
#include "services/WeatherRequest.h"

#include <gtest/gtest.h>

#include "platform/Settings.h"
#include "platform/system/FileUserDefaults.h"

namespace stratovane {
namespace {

class WeatherRequestTest : public ::testing::Test {
 protected:
  WeatherRequestTest() {
    defaults.registerDefaults({registeredDefaults.begin(), registeredDefaults.end()});
  }
  std::string url(std::string_view key = "k") {
    defaults.setString(std::string(key), SettingsKey::apiKey);
    return weatherRequestURL(weatherQueryFor(std::nullopt, defaults));
  }
  FileUserDefaults defaults{""};
};

TEST_F(WeatherRequestTest, EndpointOfTheEnvironmentWinsOverTheSettingOverOneCall25) {
  const char* const local = "http://127.0.0.1:8080/onecall";
  struct Case {
    std::optional<std::string> environment;
    std::optional<std::string> setting;
    std::string expected;
  } const cases[] = {
      {"", "", defaultWeatherEndpoint},
      {"", oneCall30WeatherEndpoint, oneCall30WeatherEndpoint},
      {local, oneCall30WeatherEndpoint, local},
  };
  for (const auto& [environment, setting, expected] : cases) {
    setting ? defaults.setString(*setting, SettingsKey::weatherEndpoint)
            : defaults.removeObject(SettingsKey::weatherEndpoint);
    EXPECT_EQ(weatherQueryFor(environment, defaults).endpoint, expected)
        << environment.value_or("<unset>") << " " << setting.value_or("<unset>");
  }
}

// The digits themselves are plainDouble's.
TEST_F(WeatherRequestTest, CoordinatesAreShortestRoundTripWithAFraction) {
  defaults.setDouble(18, SettingsKey::longitude);
  defaults.setDouble(0.1 + 0.2, SettingsKey::latitude);
  EXPECT_NE(url().find("?lat=0.30000000000000004&lon=18.0&"), std::string::npos) << url();
}

TEST_F(WeatherRequestTest, UnitsLanguagesAndTheKeyExactlyAsTyped) {
  const std::pair<std::int64_t, const char*> units[] = {
      {1, "imperial"}, {7, "imperial"}, {0, "metric"}};
  for (const auto& [index, name] : units) {
    defaults.setInteger(index, SettingsKey::units);
    EXPECT_NE(url().find(std::string("&units=") + name + "&"), std::string::npos) << index;
  }
  const std::pair<std::int64_t, const char*> languages[] = {
      {0, "da"}, {6, "el"}, {17, "sv"}, {18, "en"}, {-1, "en"}, {INT64_MIN, "en"}};
  for (const auto& [index, code] : languages) {
    defaults.setInteger(index, SettingsKey::language);
    EXPECT_NE(url().find(std::string("&lang=") + code + "&appid="), std::string::npos) << index;
  }
  EXPECT_TRUE(url(" a b ").ends_with("&appid= a b "));
  EXPECT_TRUE(url("x%41&y=1").ends_with("&appid=x%41&y=1"));
}

TEST_F(WeatherRequestTest, OpenMeteoIsAskedForWhatThePresentationReadsAndNeverForTheKey) {
  defaults.setString("0123456789abcdef", SettingsKey::apiKey);
  defaults.setDouble(18, SettingsKey::longitude);
  const auto url = [&] {
    return weatherRequestURL(weatherQueryFor(openMeteoWeatherEndpoint, defaults));
  };
  const std::string expected =
      "https://api.open-meteo.com/v1/forecast?latitude=59.4040015148249&longitude=18.0"
      "&current=temperature_2m,weather_code,cloud_cover,is_day"
      "&hourly=temperature_2m,weather_code,precipitation_probability,cloud_cover,is_day"
      "&daily=weather_code,temperature_2m_max,temperature_2m_min,sunrise,sunset"
      "&timeformat=unixtime&timezone=auto&forecast_days=2";
  EXPECT_EQ(url(), expected);
  defaults.setInteger(3, SettingsKey::units);
  EXPECT_EQ(url(), expected + "&temperature_unit=fahrenheit");
}

TEST(OpenMeteoEndpoint, AnyPathEndingInTheForecastsPath) {
  for (const char* endpoint :
       {"https://api.open-meteo.com/v1/forecast", "http://127.0.0.1:8080/v1/forecast",
        "https://meteo.lan/om/v1/forecast", "https://meteo.lan/v1/forecast?ignored=1"})
    EXPECT_TRUE(isOpenMeteoEndpoint(endpoint)) << endpoint;
  for (const char* endpoint :
       {"https://api.openweathermap.org/data/3.0/onecall", "https://meteo.lan/v1/forecast/",
        "https://meteo.lan/v1/forecasts", "https://meteo.lan/v2/forecast", "https://v1/forecast",
        "https://meteo.lan/onecall?next=/v1/forecast", ""})
    EXPECT_FALSE(isOpenMeteoEndpoint(endpoint)) << endpoint;
}

TEST(URLValidity, RejectsWhatAURLMayNotHold) {
  EXPECT_TRUE(isValidURL("https://h/p?a=1&b=%2F~x"));
  for (const char* bad :
       {"", "https://h/?k=a b", "https://h/?k=\t", "https://h/?k=\x7f", "https://h/?k=\xc3\xa9",
        "https://h/?k=<", "https://h/?k=>", "https://h/?k=\"", "https://h/?k={", "https://h/?k=}",
        "https://h/?k=|", "https://h/?k=\\", "https://h/?k=^", "https://h/?k=`", "https://h/?k=%",
        "https://h/?k=%4", "https://h/?k=%4g", "https://h/?k=%%41"})
    EXPECT_FALSE(isValidURL(bad)) << bad;
}

}  // namespace
}  // namespace stratovane
