// The alerts of the weather answer: shapes of the description, missing members, ended alerts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "presentation/PresentationTestSupport.h"
#include "presentation/WeatherAnswer.h"

namespace stratovane {
namespace {

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
  ASSERT_EQ(alerts.size(), 3u);
  EXPECT_EQ(alerts[0].event, "Heat");
  EXPECT_EQ(alerts[0].senderName, "DWD");
  EXPECT_EQ(alerts[0].start, 900);
  EXPECT_EQ(alerts[0].end, 5000);
  EXPECT_EQ(alerts[0].description, "a\nb");
  // Only numbers are times and only texts are texts; without an end an alert never ends.
  EXPECT_EQ(alerts[1].event, "Frost");
  EXPECT_EQ(alerts[1].senderName, "");
  EXPECT_EQ(alerts[1].start, std::nullopt);
  EXPECT_EQ(alerts[1].end, std::nullopt);
  EXPECT_EQ(alerts[1].description, "");
  EXPECT_EQ(alerts[2].event, "Wind");
}

TEST(WeatherAlerts, DescriptionInTheLanguageOfTheRequestElseTheFirst) {
  const std::string json = R"({"alerts": [{"event": "Storm", "description": [
    null, {"language": "de", "description": "Böen\nbis 80 km/h"},
    {"language": "En", "description": "Gusts"}, {"language": "pt-BR", "description": "Rajadas"},
    {"language": "sv"}]}]})";
  for (const auto& [language, description] : std::vector<std::pair<std::string, std::string>>{
           {"en", "Gusts"}, {"pt_br", "Rajadas"}, {"fi", ""}, {"sv", ""}}) {
    EXPECT_EQ(alertsOf(json, language).at(0).description, description) << language;
  }
  EXPECT_EQ(alertsOf(R"({"alerts": [{"event": "E", "description": [{"description": "first"},
            {"language": "de", "description": "de"}]}]})")[0]
                .description,
            "first");
}

}  // namespace
}  // namespace stratovane
