// The built binary in waybar mode with alerts in the answer: first in the tooltip, the alert class.
#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>

#include <ctime>
#include <string>

#include "support/ChildProcess.h"
#include "support/ConfigDir.h"
#include "support/HttpTestServer.h"

namespace stratovane {
namespace {

// The weekday and time of an instant in the C locale and UTC.
std::string weekdayTime(std::time_t instant) {
  std::tm utc{};
  gmtime_r(&instant, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%a %H:%M", &utc);
  return text;
}

TEST(WaybarAlerts, AlertsLeadTheTooltipAndTheObjectCarriesTheClass) {
  // A heat advisory in force since an hour, ending in three days at a whole minute, and a storm to
  // come.
  const std::time_t now = std::time(nullptr);
  const std::time_t heatEnd = (now + 3 * 86400) / 60 * 60;
  const std::string body =
      R"({"current": {"temp": 31, "weather": [{"description": "clear sky", "icon": "01d"}]},
          "hourly": [{"dt": 0, "temp": 30, "weather": [{"description": "clear sky"}]}],
          "alerts": [{"sender_name": "DWD", "event": "Heat advisory", "start": )" +
      std::to_string(now - 3600) + R"(, "end": )" + std::to_string(heatEnd) +
      R"(, "description": "Hot"}, {"event": "Storm", "start": )" + std::to_string(heatEnd) +
      R"(, "end": )" + std::to_string(heatEnd + 60) + "}]}";
  testing::HttpTestServer server([&](httplib::Server& routes) {
    routes.Get("/onecall", [&](const httplib::Request&, httplib::Response& response) {
      response.set_content(body, "application/json");
    });
  });
  const testing::ConfigDir config;
  config.write("apiKey=k\nstatusBarOption=1\n");

  testing::ChildProcess child({STRATOVANE_BINARY, "--waybar"},
                              {{"XDG_CONFIG_HOME", config.path.string()},
                               {"STRATOVANE_WEATHER_URL", server.url("/onecall")},
                               {"LC_ALL", "C"},
                               {"TZ", "UTC"}});
  EXPECT_EQ(child.readLine(), R"({"text":"⏱ Fetching...","tooltip":""})");
  const std::string storm = "Storm until " + weekdayTime(heatEnd + 60);
  EXPECT_EQ(child.readLine(),
            "{\"text\":\"\u2600\uFE0F 31\u00B0 \",\"tooltip\":\"\u26A0\uFE0F Heat advisory until " +
                weekdayTime(heatEnd) + "\\n\u26A0\uFE0F " + storm +
                "\\n 00:00: clear sky : 30 \u00B0\\n\\n\u2600\uFE0F 00:00\U0001F31B "
                "00:00\\n\\nMin 0\u00B0 Max 0\u00B0\\n\\n\",\"class\":\"alert\"}");
  child.signal(SIGTERM);
  EXPECT_EQ(child.wait(), 0);
}

}  // namespace
}  // namespace stratovane
