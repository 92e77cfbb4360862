// What the weather answer shows: the forecast menu's entries and text for full, short, broken
// and error answers; the alerts; the status-bar title for every display mode, its fallbacks and
// the emoji in front, and the icon table behind the emoji.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/system/FileUserDefaults.h"
#include "platform/system/LocaleNumberFormatting.h"
#include "presentation/Forecast.h"
#include "presentation/PresentationTestSupport.h"
#include "presentation/StatusTitle.h"
#include "presentation/WeatherAnswer.h"
#include "presentation/emojiForIcon.h"

namespace stratovane {
namespace {

using testing::answer;

const std::string kSun = "\u2600\uFE0F";
const std::string kRain = "\U0001F327";
const std::string kCloud = "\u2601\uFE0F";
const std::string kDeg = "\u00B0";
const std::string kWarning = "\u26A0\uFE0F ";

// An hourly array of `count` entries, dt 1000 + i, temp i + 0.25, icons cycling sun/rain/cloud.
std::string hourly(int count) {
  const char* icons[] = {"01d", "10d", "04n"};
  std::string out = "[";
  for (int i = 0; i < count; ++i) {
    if (i) out += ",";
    out += R"({"dt": )" + std::to_string(1000 + i) + R"(, "temp": )" + std::to_string(i) +
           R"(.25, "pop": 0.1, "weather": [{"description": "sky )" + std::to_string(i) +
           R"(", "icon": ")" + icons[i % 3] + R"("}]})";
  }
  return out + "]";
}

constexpr const char* kDaily = R"([{"sunrise": 500, "sunset": 900,
  "temp": {"min": -3.5, "max": 12.35},
  "weather": [{"description": "snow showers", "icon": "13d"}]},
  {"sunrise": 1, "sunset": 2, "temp": {"min": 1, "max": 2},
   "weather": [{"description": "other day", "icon": "01d"}]}])";

class ForecastTest : public ::testing::Test {
 protected:
  ForecastTest() { defaults.setInteger(1, "decimals"); }

  Forecast build(const std::string& json, double now = 0, bool oneCall25InUse = false) {
    return buildForecast(answer(json), defaults, numbers, times, now, oneCall25InUse);
  }
  // Each entry's title, marked when it is disabled, opens an alert or is a separator.
  static std::vector<std::string> shown(const Forecast& forecast) {
    std::vector<std::string> out;
    for (const ForecastEntry& entry : forecast.entries) {
      out.push_back(entry.separator ? "---"
                                    : entry.title + (entry.enabled ? "" : " (disabled)") +
                                          (entry.alert ? " #" + std::to_string(*entry.alert) : ""));
    }
    return out;
  }

  FileUserDefaults defaults{""};
  const LocaleNumberFormatting numbers{"de_DE.UTF-8"};  // the locale must reach the readings
  const testing::SecondsTimeFormatting times;
};

TEST_F(ForecastTest, FullAnswerGivesTwelveEntriesInOrder) {
  const Forecast forecast = build(R"({"hourly": )" + hourly(48) + R"(, "daily": )" + kDaily + "}");
  const auto entries = shown(forecast);
  ASSERT_EQ(entries.size(), 12u);
  EXPECT_EQ(entries[0], kSun + " t1000: sky 0 : 0,2 " + kDeg);  // ties to even
  EXPECT_EQ(entries[11], kCloud + " t1011: sky 11 : 11,2 " + kDeg);
  EXPECT_EQ(forecast.dailyForcast, "\u2600\uFE0F t500\U0001F31B t900\n\nMin -3,5" + kDeg +
                                       " Max 12,4" + kDeg + "\n\nsnow showers");
  EXPECT_EQ(forecast.dailyForcastIcon, "13d");
}

TEST_F(ForecastTest, ShortOrMissingHourlyLeavesEntriesOut) {
  EXPECT_TRUE(build(R"({"hourly": []})").entries.empty());
  EXPECT_TRUE(build(R"({"hourly": {"0": {"temp": 1}}})").entries.empty());
  EXPECT_TRUE(build(R"([])").entries.empty());
}

// An entry without a text icon carries the emoji of the one above; only numbers are readings.
TEST_F(ForecastTest, OddEntriesAndMembers) {
  const Forecast forecast = build(R"({"hourly": [
    {"dt": 1, "temp": 1, "weather": [{"description": "a"}]},
    {"dt": 2, "temp": 2, "weather": [{"description": "b", "icon": "10n"}]},
    {"dt": 3, "temp": 3, "weather": []},
    {"dt": 4, "temp": "12", "weather": [{"description": 3.5, "icon": 5}]},
    {"dt": "7200", "temp": true, "weather": [{"description": false, "icon": "01d"}]},
    {"dt": null, "weather": [{"description": null}]},
    null,
    {"dt": 9, "temp": {"day": 3}}
  ]})");
  EXPECT_EQ(shown(forecast), (std::vector<std::string>{
                                 " t1: a : 1,0 " + kDeg,  // no emoji yet: begins with a blank
                                 kRain + " t2: b : 2,0 " + kDeg,
                                 kRain + " t3:  : 3,0 " + kDeg,
                                 kRain + " t4: 3.5 : Error " + kDeg,
                                 kSun + " t7200: false : 1,0 " + kDeg,
                                 kSun + " t0:  : Error " + kDeg,
                                 kSun + " t0:  : Error " + kDeg,
                                 kSun + " t9:  : Error " + kDeg,
                             }));
}

TEST_F(ForecastTest, ErrorReportGivesADisabledWarningAndStillAText) {
  const Forecast forecast = build(R"({"cod": 401, "message": "Invalid API key. See the FAQ."})");
  EXPECT_EQ(shown(forecast),
            std::vector<std::string>{kWarning + "Invalid API key. See the FAQ. (disabled)"});
  EXPECT_EQ(forecast.dailyForcast,
            kSun + " t0\U0001F31B t0\n\nMin 0,0" + kDeg + " Max 0,0" + kDeg + "\n\n");
  EXPECT_EQ(forecast.dailyForcastIcon, "");
  EXPECT_TRUE(build(R"({"message": 5})").entries.empty());  // not a text: no warning
  EXPECT_EQ(shown(build(R"({"message": ""})")), std::vector<std::string>{kWarning + " (disabled)"});
}

TEST_F(ForecastTest, AlertsComeAfterTheMessageAndBeforeASeparatorAndTheHours) {
  defaults.setInteger(1, "language");  // "de"
  // Days of the fake times are 1000 s long: 1500 is on the day of 1200, 2500 is not.
  const Forecast forecast =
      build(R"({"message": "Partial", "hourly": )" + hourly(1) + R"(, "alerts": [
    {"event": "Heat", "end": 1500, "description": [{"language": "en", "description": "Hot"},
                                                   {"language": "de", "description": "Heiß"}]},
    {"event": "Ended", "end": 1100}, {"event": "Storm", "end": 2500}, {"event": "Wind"}]})",
            1200);
  EXPECT_EQ(shown(forecast), (std::vector<std::string>{
                                 kWarning + "Partial (disabled)", kWarning + "Heat until t1500 #0",
                                 kWarning + "Storm until w2500 #1", kWarning + "Wind #2", "---",
                                 kSun + " t1000: sky 0 : 0,2 " + kDeg}));
  ASSERT_EQ(forecast.alerts.size(), 3u);
  EXPECT_EQ(forecast.alerts[0].descriptions, std::vector<std::string>{"Heiß"});
}

TEST_F(ForecastTest, ARefusedKeyFromOneCall25PointsToTheSettingsBelowTheMessage) {
  const std::pair<const char*, bool> codes[] = {
      {"401", true},   {"401.0", true},      {R"("401")", true}, {"200", false},
      {"true", false}, {R"("4010")", false}, {"null", false}};
  for (const auto& [code, refused] : codes) {
    const std::string feed = R"({"message": "Invalid API key", "cod": )" + std::string(code) +
                             R"(, "hourly": )" + hourly(1) + "}";
    std::vector<std::string> expected{kWarning + "Invalid API key (disabled)",
                                      kSun + " t1000: sky 0 : 0,2 " + kDeg};
    EXPECT_EQ(shown(build(feed)), expected) << code;
    if (refused)
      expected.insert(expected.begin() + 1, kOneCall25Closed + std::string(" (disabled)"));
    EXPECT_EQ(shown(build(feed, 0, true)), expected) << code;
  }
}

TEST_F(ForecastTest, DailyMembersWithFallbacks) {
  const Forecast forecast = build(R"({"daily": [{"sunrise": "600", "sunset": true,
    "temp": {"max": false}, "weather": [{"description": 2, "icon": 3}]}]})");
  EXPECT_EQ(forecast.dailyForcast,
            kSun + " t600\U0001F31B t1\n\nMin 0,0" + kDeg + " Max 0,0" + kDeg + "\n\n2");
  EXPECT_EQ(forecast.dailyForcastIcon, "3");
}

std::vector<WeatherAlert> alertsOf(const std::string& json, const std::string& language = "en") {
  return WeatherAnswer(testing::answer(json)).alerts(language, 1000);
}

TEST(WeatherAlerts, AnswersWithoutAlertsGiveNone) {
  for (const char* json : {R"({"current": {}})", R"({"alerts": []})", R"({"alerts": {"0": {}}})",
                           R"({"alerts": "Storm"})", R"([])"}) {
    EXPECT_TRUE(alertsOf(json).empty()) << json;
  }
}

TEST(WeatherAlerts, MembersInOrderEmptyWhenMissingAndEndedOnesLeftOut) {
  const auto alerts = alertsOf(R"({"alerts": [
    {"sender_name": "DWD", "event": "Heat", "start": 900, "end": 5000, "description": "a\nb"},
    {"sender_name": "DWD", "start": 1, "end": 9000, "description": "no event"},
    null, {"event": 7},
    {"event": "Frost", "sender_name": 3, "start": "100", "end": "1", "description": {"en": "x"}},
    {"event": "ended", "end": 999}, {"event": "ends now", "end": 1000}, {"event": "true", "end": true},
    {"event": "Wind", "end": 1001}]})");
  // Only numbers are times and only texts are texts; without an end an alert never ends.
  const auto time = [](std::optional<double> t) { return t ? std::to_string(*t) : "-"; };
  std::vector<std::string> shown;
  for (const WeatherAlert& a : alerts)
    shown.push_back(a.event + "|" + a.senderName + "|" + time(a.start) + "|" + time(a.end) + "|" +
                    (a.descriptions.empty() ? "" : a.descriptions.front()));
  EXPECT_EQ(shown, (std::vector<std::string>{"Heat|DWD|900.000000|5000.000000|a\nb", "Frost||-|-|",
                                             "Wind||-|1001.000000|"}));
}

TEST(WeatherAlerts, SameEventSenderAndEndMergeInThePlaceOfTheFirst) {
  const auto alerts = alertsOf(R"({"alerts": [
    {"event": "Wind", "sender_name": "A", "start": 900, "end": 3000, "description": "north"},
    {"event": "Wind", "sender_name": "B", "start": 900, "end": 3000, "description": "other sender"},
    {"event": "Wind", "sender_name": "A", "start": 800, "end": 3000, "description": "south"},
    {"event": "Wind", "sender_name": "A", "start": 700, "end": 3100, "description": "later end"},
    {"event": "Wind", "sender_name": "A", "start": 850, "end": 3000, "description": "north"},
    {"event": "Wind", "sender_name": "A", "start": 950, "end": 3000},
    {"event": "Rain", "start": 950}, {"event": "Rain", "start": 920, "description": [{}]},
    {"event": "Fog", "start": 990}, {"event": "Fog", "start": "x"}, {"event": "Fog", "start": 980}
  ]})");
  // Each different description once; the earliest start, none when one has none.
  const auto time = [](std::optional<double> t) { return t ? std::to_string(int(*t)) : "-"; };
  std::vector<std::string> shown;
  for (const WeatherAlert& a : alerts) {
    std::string line = a.event + "|" + a.senderName + "|" + time(a.start) + "|" + time(a.end);
    for (const std::string& description : a.descriptions) line += "|" + description;
    shown.push_back(line);
  }
  EXPECT_EQ(shown,
            (std::vector<std::string>{"Wind|A|800|3000|north|south", "Wind|B|900|3000|other sender",
                                      "Wind|A|700|3100|later end", "Rain||920|-", "Fog||-|-"}));
}

TEST(WeatherAlerts, DescriptionInTheLanguageOfTheRequestElseTheFirst) {
  const std::string json = R"({"alerts": [{"event": "Storm", "description": [
    null, {"language": "de", "description": "Böen\nbis 80 km/h"},
    {"language": "En", "description": "Gusts"}, {"language": "pt-BR", "description": "Rajadas"},
    {"language": "sv"}]}]})";
  for (const auto& [language, description] : std::vector<std::pair<std::string, std::string>>{
           {"en", "Gusts"}, {"pt_br", "Rajadas"}, {"fi", ""}, {"sv", ""}}) {
    EXPECT_EQ(
        alertsOf(json, language).at(0).descriptions,
        description.empty() ? std::vector<std::string>{} : std::vector<std::string>{description})
        << language;
  }
  EXPECT_EQ(alertsOf(R"({"alerts": [{"event": "E", "description": [{"description": "first"},
            {"language": "de", "description": "de"}]}]})")[0]
                .descriptions,
            std::vector<std::string>{"first"});
}

class StatusTitle : public ::testing::Test {
 protected:
  std::string title(const std::string& json, std::int64_t mode, std::int64_t decimals = 0) {
    defaults.setInteger(decimals, "decimals");
    return statusTitle(answer(json), mode, defaults, numbers);
  }

  FileUserDefaults defaults{""};
  const LocaleNumberFormatting numbers{"de_DE.UTF-8"};  // the locale must reach the readings
};

constexpr const char* kFull = R"({
  "current": {"temp": 21.6, "clouds": 75,
              "weather": [{"description": "clear sky", "icon": "01d"}]},
  "currently": {"precipProbability": 0.07},
  "hourly": [{"pop": 0.5}]
})";

TEST_F(StatusTitle, EveryModeOnAFullAnswer) {
  EXPECT_EQ(title(kFull, 0), kSun + " clear sky");
  EXPECT_EQ(title(kFull, 1), kSun + " 22\u00B0 ");  // ends in a blank
  EXPECT_EQ(title(kFull, 2), kSun + " Rain: 7.000000000000001%");
  EXPECT_EQ(title(kFull, 3), kSun + " Cloud: 75.0%");  // percentages keep the point
  EXPECT_EQ(title(kFull, 4, 1), kSun + " 21,6\u00B0 clear sky");
  for (std::int64_t mode : {5, -1, -2, 100}) EXPECT_EQ(title(kFull, mode), kSun + " Error");
}

// Readings and descriptions show as received; a missing or ill-typed member gives Error.
TEST_F(StatusTitle, MembersAsReceivedOrError) {
  const std::tuple<const char*, std::int64_t, std::string> cases[] = {
      {R"({"current": {"clouds": 0}})", 3, "Cloud: 0.0%"},
      {R"({"current": {"clouds": true}})", 3, "Cloud: 1.0%"},
      {R"({"current": {"temp": -0.4}})", 1, "-0" + kDeg + " "},
      {R"({"current": {"weather": [{"description": " Light RAIN "}]}})", 0, " Light RAIN "},
      {R"({"current": {"weather": [{"description": ""}]}})", 0, ""},
      {R"({"current": {"temp": "12"}})", 1, "Error"},
      {R"({"current": {"clouds": "75"}})", 3, "Error"},
      {R"({"current": {"weather": [{"description": 7}]}})", 0, "Error"},
      {R"({"current": {"temp": 3}})", 4, "Error"},  // mode 4 needs both members
      {R"({"current": {"weather": [{"description": "fog"}]}})", 4, "Error"},
      {R"([1, 2, 3])", 0, "Error"},
      {R"("text")", 1, "Error"}};
  for (const auto& [json, mode, expected] : cases) EXPECT_EQ(title(json, mode), expected) << json;
  for (std::int64_t mode : {0, 1, 3, 4}) {
    EXPECT_EQ(title(R"({"hourly": []})", mode), "Error") << mode;
    EXPECT_EQ(title(R"({"current": {"weather": []}})", mode), "Error") << mode;
    EXPECT_EQ(title(R"({"current": [1, 2]})", mode), "Error") << mode;
  }
}

TEST_F(StatusTitle, EmojiComesFirstInEveryModeWhenTheIconIsAText) {
  const char* iconOnly = R"({"current": {"weather": [{"icon": "04n"}]}})";
  EXPECT_EQ(title(iconOnly, 0), kCloud + " Error");
  EXPECT_EQ(title(R"({"current": {"weather": [{"icon": "11d"}]}})", 1), "\u2602\uFE0F Error");
  // An icon that is not a text gives no emoji at all.
  EXPECT_EQ(title(R"({"current": {"weather": [{"icon": 1}], "temp": 5}})", 1), "5\u00B0 ");
  EXPECT_EQ(title(R"({"current": {"weather": {"icon": "01d"}, "temp": 5}})", 1), "5\u00B0 ");
}

TEST_F(StatusTitle, ChanceOfRainFallsBackToTheFirstHour) {
  const char* icon = R"("current": {"weather": [{"icon": "04n"}]})";
  const auto with = [&](const std::string& rest) { return "{" + std::string(icon) + rest + "}"; };
  // One Call answers have no `currently`: the first hour's pop is the chance.
  EXPECT_EQ(title(with(R"(, "hourly": [{"pop": 0.29}, {"pop": 1}])"), 2),
            kCloud + " Rain: 28.999999999999996%");
  EXPECT_EQ(title(with(R"(, "hourly": [{"pop": 0}])"), 2), kCloud + " Rain: 0.0%");
  // `currently` wins when present.
  EXPECT_EQ(title(with(R"(, "currently": {"precipProbability": 1}, "hourly": [{"pop": 0.5}])"), 2),
            kCloud + " Rain: 100.0%");
  // Neither: the fixed fallback, in its own form.
  EXPECT_EQ(title(with(""), 2), kCloud + " Rain 0 %");
  EXPECT_EQ(title(with(R"(, "hourly": [{"pop": "0.5"}])"), 2), kCloud + " Rain 0 %");
  EXPECT_EQ(title(with(R"(, "hourly": [{}, {"pop": 0.5}])"), 2), kCloud + " Rain 0 %");
  EXPECT_EQ(title(R"({"cod": 401, "message": "Invalid API key"})", 2), "Rain 0 %");
}

// Expected bytes are spelled in hex, independently of the escapes in the table.
TEST(EmojiForIcon, EveryRowGivesItsCodePoints) {
  const std::string cloud = "\xE2\x98\x81\xEF\xB8\x8F";
  const std::vector<std::pair<std::vector<std::string>, std::string>> rows{
      {{"clear-day", "01d"}, "\xE2\x98\x80\xEF\xB8\x8F"},
      {{"clear-night", "01n"}, "\xF0\x9F\x8C\x95"},
      {{"rain", "09d", "09n", "10d", "10n"}, "\xF0\x9F\x8C\xA7"},
      {{"snow", "13d", "13n"}, "\xE2\x9D\x84\xEF\xB8\x8F"},
      {{"sleet"}, "\xF0\x9F\x8C\xA8"},
      {{"wind"}, "\xF0\x9F\x8C\xAC"},
      {{"fog", "50d", "50n"}, "\xF0\x9F\x8C\xAB"},
      {{"cloudy", "03d", "03n", "04d", "04n"}, cloud},
      {{"partly-cloudy-day", "02d"}, "\xF0\x9F\x8C\xA4"},
      {{"partly-cloudy-night", "02n"}, cloud},
  };
  for (const auto& [inputs, emoji] : rows) {
    for (const std::string& input : inputs) EXPECT_EQ(emojiForIcon(input), emoji) << input;
  }
}

TEST(EmojiForIcon, AnythingElseIsTheUmbrella) {
  const std::string umbrella = "\xE2\x98\x82\xEF\xB8\x8F";
  for (const char* input : {"", "11d", "01D", " 01d", "01d ", "thunderstorm", "01", "01dd"}) {
    EXPECT_EQ(emojiForIcon(input), umbrella) << '"' << input << '"';
  }
  // An embedded NUL must not end the comparison early.
  EXPECT_EQ(emojiForIcon(std::string_view("01d\0x", 5)), umbrella);
}

}  // namespace
}  // namespace stratovane
