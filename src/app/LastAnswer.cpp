// The last weather answer: kept in the cache for the next start, and shown with its age while no
// newer weather comes.
#include "app/LastAnswer.h"

#include <cmath>
#include <exception>
#include <vector>

#include "platform/Translation.h"

namespace stratovane {

namespace {

constexpr double kHour = 3600;

std::optional<double> finiteNumber(const JSON& value) {
  if (value.type() != Type::number) return std::nullopt;
  const std::optional<double> number = value.asDouble();
  if (!number || !std::isfinite(*number)) return std::nullopt;
  return number;
}

}  // namespace

AnswerOrigin AnswerOrigin::of(const WeatherQuery& query) {
  return {query.endpoint, query.latitude, query.longitude, query.metric,
          std::string(query.language)};
}

bool LastAnswer::isWeather(const JSON& answer) {
  return answer.type() == Type::dictionary && answer.rawDictionary().contains("current");
}

void LastAnswer::keep(const KeptAnswer& kept) const {
  if (!files_ || !isWeather(kept.answer)) return;
  const std::string text = keptFileText(kept);
  // What could not be read back is not written; the older file would then mislead.
  if (text.empty() || text.size() > maximumSize_) {
    files_->remove(kFileName);
    return;
  }
  files_->write(kFileName, text);
}

void LastAnswer::load(const AnswerOrigin& origin, double now) {
  if (!files_) return;
  const std::optional<std::string> text = files_->read(kFileName, maximumSize_);
  std::optional<KeptAnswer> kept = text ? keptAnswerFromText(*text) : std::nullopt;
  if (kept && mayBeShown(*kept, origin, now)) {
    last_ = std::move(kept);
  } else {
    files_->remove(kFileName);
  }
}

std::optional<KeptAnswer> LastAnswer::shown(const AnswerOrigin& origin, double now) const {
  if (!last_ || !mayBeShown(*last_, origin, now)) return std::nullopt;
  return KeptAnswer{withoutPassedHours(last_->answer, now), last_->receivedAt, last_->origin};
}

bool mayBeShown(const KeptAnswer& kept, const AnswerOrigin& origin, double now) {
  const double age = now - kept.receivedAt;
  // A time ahead of the clock comes from an edited file or a clock set back: its age is unknown.
  return age >= 0 && age < LastAnswer::kLongestAge && kept.origin == origin &&
         LastAnswer::isWeather(kept.answer);
}

JSON withoutPassedHours(const JSON& answer, double now) {
  const JSON hourly = answer["hourly"];
  if (hourly.type() != Type::array) return answer;
  std::vector<Object> current;
  for (const JSON& hour : hourly.arrayValue())
    if (hour["dt"].doubleValue() + kHour > now) current.emplace_back(hour);
  if (current.size() == hourly.count()) return answer;
  JSON result = answer;
  result.set("hourly", JSON(Array(std::move(current))));
  return result;
}

std::string updatedLine(double receivedAt, double now, const TimeFormatting& times) {
  // TRANSLATORS: when the weather shown was received, as in "Updated at 14:05".
  return fillIn(tr("Updated at %s"),
                {times.sameDay(receivedAt, now) ? times.shortTime(receivedAt)
                                                : times.weekdayShortTime(receivedAt)});
}

std::string keptFileText(const KeptAnswer& kept) {
  const JSON file(Dictionary{{"receivedAt", kept.receivedAt},
                             {"endpoint", kept.origin.endpoint},
                             {"latitude", kept.origin.latitude},
                             {"longitude", kept.origin.longitude},
                             {"units", kept.origin.metric ? "metric" : "imperial"},
                             {"language", kept.origin.language},
                             {"answer", Object(kept.answer)}});
  try {
    return file.serializedData(WritingOptions::none).bytes;
  } catch (const std::exception&) {
    return {};  // a coordinate off the number line, say
  }
}

std::optional<KeptAnswer> keptAnswerFromText(std::string_view text) {
  JSON file;
  try {
    file = JSON(Data{std::string(text)}, ReadingOptions{});
  } catch (const std::exception&) {
    return std::nullopt;
  }
  const std::optional<double> receivedAt = finiteNumber(file["receivedAt"]);
  const std::optional<double> latitude = finiteNumber(file["latitude"]);
  const std::optional<double> longitude = finiteNumber(file["longitude"]);
  const std::optional<std::string> endpoint = file["endpoint"].asString();
  const std::optional<std::string> units = file["units"].asString();
  std::optional<std::string> language = file["language"].asString();
  JSON answer = file["answer"];
  if (!receivedAt || !latitude || !longitude || !endpoint || !language ||
      (units != "metric" && units != "imperial") || !LastAnswer::isWeather(answer))
    return std::nullopt;
  return KeptAnswer{
      std::move(answer), *receivedAt,
      AnswerOrigin{*endpoint, *latitude, *longitude, units == "metric", std::move(*language)}};
}

}  // namespace stratovane
