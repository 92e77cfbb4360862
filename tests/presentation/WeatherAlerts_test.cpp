// The alerts of the weather answer: shapes of the description, missing members, ended alerts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "presentation/PresentationTestSupport.h"
#include "presentation/WeatherAnswer.h"

namespace stratovane {
namespace {

using testing::answer;

std::vector<WeatherAlert> alertsOf(const std::string& json, const std::string& language = "en",
                                   double now = 1000) {
  return WeatherAnswer(answer(json)).alerts(language, now);
}

std::vector<std::string> events(const std::vector<WeatherAlert>& alerts) {
  std::vector<std::string> out;
  for (const WeatherAlert& alert : alerts) out.push_back(alert.event);
  return out;
}

TEST(WeatherAlerts, AnswersWithoutAlertsGiveNone) {
  for (const char* json :
       {R"({"current": {"temp": 1}})", R"({"alerts": []})", R"({"alerts": null})",
        R"({"alerts": {"event": "Storm"}})", R"({"alerts": "Storm"})", R"([])", R"("alerts")"}) {
    EXPECT_TRUE(alertsOf(json).empty()) << json;
  }
}

TEST(WeatherAlerts, EveryMemberOfSeveralAlertsInOrder) {
  const auto alerts = alertsOf(R"({"alerts": [
    {"sender_name": "DWD", "event": "Heat", "start": 900, "end": 5000,
     "description": "Line one\nLine two", "tags": ["Extreme temperature value"]},
    {"sender_name": "NWS", "event": "Flood Watch", "start": 2000.5, "end": 1e10,
     "description": ""}
  ]})");
  ASSERT_EQ(alerts.size(), 2u);
  EXPECT_EQ(alerts[0].event, "Heat");
  EXPECT_EQ(alerts[0].senderName, "DWD");
  EXPECT_EQ(alerts[0].start, 900);
  EXPECT_EQ(alerts[0].end, 5000);
  EXPECT_EQ(alerts[0].description, "Line one\nLine two");
  EXPECT_EQ(alerts[1].event, "Flood Watch");
  EXPECT_EQ(alerts[1].start, 2000.5);
  EXPECT_EQ(alerts[1].end, 1e10);
}

TEST(WeatherAlerts, MissingOrOddMembersShowEmptyAndEntriesWithoutAnEventAreLeftOut) {
  const auto alerts = alertsOf(R"({"alerts": [
    {"event": "Wind"},
    {"sender_name": "DWD", "start": 1, "end": 9000, "description": "no event"},
    {"event": 7, "end": 9000},
    null, 5, "Storm",
    {"event": "Frost", "sender_name": 3, "start": "100", "end": "9000", "description": {"en": "x"}},
    {"event": "Boolean end", "end": true},
    {"event": ""}
  ]})");
  // A Boolean end reads as 1, like every Boolean number: long over.
  EXPECT_EQ(events(alerts), (std::vector<std::string>{"Wind", "Frost", ""}));
  EXPECT_EQ(alerts[0].senderName, "");
  EXPECT_EQ(alerts[0].start, std::nullopt);
  EXPECT_EQ(alerts[0].end, std::nullopt);  // no end: never over
  EXPECT_EQ(alerts[0].description, "");
  // Only numbers are times and only texts are texts.
  EXPECT_EQ(alerts[1].senderName, "");
  EXPECT_EQ(alerts[1].start, std::nullopt);
  EXPECT_EQ(alerts[1].end, std::nullopt);
  EXPECT_EQ(alerts[1].description, "");
}

TEST(WeatherAlerts, AlertsWhoseEndHasPassedAreLeftOut) {
  const std::string json = R"({"alerts": [
    {"event": "over", "start": 0, "end": 999},
    {"event": "ends now", "end": 1000},
    {"event": "ends later", "end": 1001},
    {"event": "to come", "start": 5000, "end": 9000},
    {"event": "no end", "start": 0}
  ]})";
  EXPECT_EQ(events(alertsOf(json, "en", 1000)),
            (std::vector<std::string>{"ends later", "to come", "no end"}));
  EXPECT_EQ(events(alertsOf(json, "en", 0)).size(), 5u);
}

TEST(WeatherAlerts, DescriptionsInSeveralLanguages) {
  const std::string json = R"({"alerts": [{"event": "Storm", "description": [
    {"language": "de", "description": "Sturmböen\nbis 80 km/h"},
    {"language": "En", "description": "Gusts up to 80 km/h"},
    {"language": "pt-BR", "description": "Rajadas"},
    {"language": "sv"}
  ]}]})";
  struct Case {
    const char* language;
    const char* description;
  };
  for (const Case& test : {Case{"en", "Gusts up to 80 km/h"}, Case{"pt_br", "Rajadas"},
                           Case{"de", "Sturmböen\nbis 80 km/h"},
                           Case{"fi", "Sturmböen\nbis 80 km/h"}, Case{"sv", ""}}) {
    const auto alerts = alertsOf(json, test.language);
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].description, test.description) << test.language;
  }
  // Odd arrays: entries that are not objects are skipped, the first one's text is the fallback.
  EXPECT_EQ(alertsOf(R"({"alerts": [{"event": "E", "description": ["text", 3]}]})")[0].description,
            "");
  EXPECT_EQ(alertsOf(R"({"alerts": [{"event": "E", "description": [null,
              {"language": "en", "description": "found"}]}]})")[0]
                .description,
            "found");
  EXPECT_EQ(alertsOf(R"({"alerts": [{"event": "E", "description": []}]})")[0].description, "");
}

}  // namespace
}  // namespace stratovane
