// The kept answer's rules: when it may be shown, its file and the age line.
#include "app/LastAnswer.h"

#include <gtest/gtest.h>

#include "presentation/PresentationTestSupport.h"
#include "support/FakeCacheFiles.h"

namespace stratovane {
namespace {

using testing::FakeCacheFiles;

constexpr double kNow = 1700049600;  // 2023-11-15 12:00 UTC
constexpr double kHour = 3600;

const AnswerOrigin kAsked{"https://weather.test/onecall", 59.4040015148249, 17.994089135126462,
                          true, "en"};

// Hours from 09:00 to 14:00.
JSON weather() {
  return testing::answer(R"({"current": {"temp": 3}, "hourly": [
    {"dt": 1700038800}, {"dt": 1700042400}, {"dt": 1700046000}, {"dt": 1700049600},
    {"dt": 1700053200}, {"dt": 1700056800}]})");
}

TEST(LastAnswerRules, ShownOnlyWhenYoungerThanTwelveHoursAndAskedForTheSame) {
  const auto with = [](auto change) {
    AnswerOrigin origin = kAsked;
    change(origin);
    return origin;
  };
  const struct {
    const char* what;
    AnswerOrigin origin;
    double age;
    bool shown;
  } cases[] = {
      {"the same, just received", kAsked, 0, true},
      {"the same, almost twelve hours old", kAsked, 12 * kHour - 1, true},
      {"twelve hours old", kAsked, 12 * kHour, false},
      {"received after now: an edited file or a clock set back", kAsked, -60, false},
      {"another latitude", with([](auto& o) { o.latitude = 59.40400151482491; }), 0, false},
      {"another longitude", with([](auto& o) { o.longitude = 18; }), 0, false},
      {"other units", with([](auto& o) { o.metric = false; }), 0, false},
      {"another language", with([](auto& o) { o.language = "sv"; }), 0, false},
      {"another service", with([](auto& o) { o.endpoint = oneCall30WeatherEndpoint; }), 0, false},
  };
  for (const auto& [what, origin, age, shown] : cases) {
    SCOPED_TRACE(what);
    LastAnswer last(nullptr, 1 << 20);
    last.remember({weather(), kNow - age, origin});
    EXPECT_EQ(last.shown(kAsked, kNow).has_value(), shown);
  }
  EXPECT_FALSE(mayBeShown({testing::answer(R"({"cod": 401})"), kNow, kAsked}, kAsked, kNow));
  EXPECT_FALSE(LastAnswer::isWeather(testing::answer(R"([{"current": {}}])")));
}

TEST(LastAnswerRules, TheLineSaysWhenItCameWithTheWeekdayOnlyFromAnotherDay) {
  // Days of 1000 seconds: the weekday only when the answer came on another day.
  const testing::SecondsTimeFormatting times;
  EXPECT_EQ(updatedLine(5100, 5900, times), "Updated at t5100");
  EXPECT_EQ(updatedLine(4900, 5100, times), "Updated at w4900");
}

TEST(LastAnswerFile, KeptWholeAndReadBackWhileDamagedStrangeOrOversizedFilesAreRemoved) {
  FakeCacheFiles files;
  const LastAnswer writer(&files, 4096);
  writer.keep({weather(), kNow - kHour, kAsked});
  LastAnswer reader(&files, 4096);
  reader.load(kAsked, kNow);
  std::optional<KeptAnswer> read = reader.shown(kAsked, kNow);
  ASSERT_TRUE(read) << files.files[LastAnswer::kFileName];
  EXPECT_EQ(read->receivedAt, kNow - kHour);
  EXPECT_EQ(read->origin, kAsked) << "coordinates come back bit for bit";
  EXPECT_EQ(read->answer["current"], weather()["current"]);

  const std::string good = files.files[LastAnswer::kFileName];
  const auto changed = [&good](const std::string& from, const std::string& to) {
    std::string text = good;
    return text.replace(text.find(from), from.size(), to);
  };
  const std::string damaged[] = {
      good.substr(0, good.size() / 2),   changed("metric", "kelvin"),
      changed("\"current\"", "\"now\""), changed("\"receivedAt\":", "\"receivedAt\":\"1\",\"x\":"),
      good + std::string(4096, ' '),
  };
  for (const std::string& text : damaged) {
    SCOPED_TRACE(text.substr(0, 60));
    files.files[LastAnswer::kFileName] = text;
    LastAnswer last(&files, 4096);
    last.load(kAsked, kNow);
    EXPECT_FALSE(last.shown(kAsked, kNow));
    EXPECT_FALSE(files.files.contains(LastAnswer::kFileName));
  }

  // Only weather is kept; an answer the file could not hold is not, and the older one goes.
  files.files[LastAnswer::kFileName] = good;
  const LastAnswer small(&files, 100);
  small.keep({testing::answer(R"({"cod": 401})"), kNow, kAsked});
  EXPECT_EQ(files.files[LastAnswer::kFileName], good);
  small.keep({weather(), kNow, kAsked});
  EXPECT_FALSE(files.files.contains(LastAnswer::kFileName));
}

}  // namespace
}  // namespace stratovane
