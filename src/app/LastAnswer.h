// The last weather answer: kept in the cache for the next start, and shown with its age while no
// newer weather comes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "json/JSON.h"
#include "platform/CacheFiles.h"
#include "platform/Formatting.h"
#include "services/WeatherRequest.h"

namespace stratovane {

// What an answer was asked for: it is shown only where the request asks the same.
struct AnswerOrigin {
  std::string endpoint;  // the service
  double latitude = 0;
  double longitude = 0;
  bool metric = true;
  std::string language;

  static AnswerOrigin of(const WeatherQuery& query);
  bool oneCall25() const { return endpoint == defaultWeatherEndpoint; }
  bool openMeteo() const { return isOpenMeteoEndpoint(endpoint); }
  friend bool operator==(const AnswerOrigin&, const AnswerOrigin&) = default;
};

struct KeptAnswer {
  JSON answer;            // in One Call's shape
  double receivedAt = 0;  // seconds since 1970
  AnswerOrigin origin;
};

class LastAnswer {
 public:
  // Older weather is of no use: its twelve hours have passed.
  static constexpr double kLongestAge = 12 * 3600;
  static constexpr const char* kFileName = "last-answer.json";

  // Without `files` nothing outlives the run. Files larger than `maximumSize` are neither
  // written nor read.
  LastAnswer(CacheFiles* files, std::size_t maximumSize)
      : files_(files), maximumSize_(maximumSize) {}

  // Whether the presentation shows the answer as weather: an object with `current`.
  static bool isWeather(const JSON& answer);

  // Writes a weather answer for the next start; any thread.
  void keep(const KeptAnswer& kept) const;
  // The latest weather of this run; main thread, like the rest below.
  void remember(KeptAnswer kept) { last_ = std::move(kept); }
  // Takes the kept answer of an earlier run when it may be shown for `origin` at `now`;
  // otherwise removes its file.
  void load(const AnswerOrigin& origin, double now);
  // The latest weather when it may be shown for `origin` at `now`, without the hours that have
  // passed.
  std::optional<KeptAnswer> shown(const AnswerOrigin& origin, double now) const;

 private:
  CacheFiles* files_;
  std::size_t maximumSize_;
  std::optional<KeptAnswer> last_;
};

// Weather younger than kLongestAge, and asked for `origin`.
bool mayBeShown(const KeptAnswer& kept, const AnswerOrigin& origin, double now);

// The answer without the hourly entries whose hour has ended at `now`, so that it begins at the
// current hour.
JSON withoutPassedHours(const JSON& answer, double now);

// "Updated at " and the time the answer came, with its weekday when that was not today.
std::string updatedLine(double receivedAt, double now, const TimeFormatting& times);

// The file: one JSON object with `receivedAt`, `endpoint`, `latitude`, `longitude`, `units`
// ("metric" or "imperial"), `language` and `answer`. None when the text is not such an object
// or its answer is not weather.
std::string keptFileText(const KeptAnswer& kept);
std::optional<KeptAnswer> keptAnswerFromText(std::string_view text);

}  // namespace stratovane
