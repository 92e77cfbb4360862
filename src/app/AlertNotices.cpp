// One desktop notification for each weather alert, the first time it is in force, remembered
// across runs.
#include "app/AlertNotices.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <utility>

#include "json/JSON.h"
#include "platform/Translation.h"

namespace stratovane {

namespace {

// An alert without an end is forgotten this long after its notice.
constexpr double kRememberedWithoutEnd = 30 * 86400;
// The remembered list is small; a larger file is not ours.
constexpr std::size_t kLargestFile = 256 * 1024;

bool inForce(const WeatherAlert& alert, double now) {
  return (!alert.start || *alert.start <= now) && (!alert.end || now < *alert.end);
}

// The same alert in every answer that carries it, whatever its texts' later corrections say.
std::string keyOf(const WeatherAlert& alert) {
  std::string key = alert.event + '\x1f' + alert.senderName + '\x1f';
  if (alert.start) key += std::to_string(std::llround(*alert.start));
  return key;
}

}  // namespace

AlertNotices::AlertNotices(AlertNoticesEnvironment environment) : env_(std::move(environment)) {}

Notifier::Notice AlertNotices::noticeFor(const WeatherAlert& alert, const TimeFormatting& times,
                                         double now) {
  std::string body = alert.senderName;
  if (alert.end) {
    const std::string end = times.sameDay(*alert.end, now) ? times.shortTime(*alert.end)
                                                           : times.weekdayShortTime(*alert.end);
    if (body.empty()) {
      // TRANSLATORS: the time an official weather alert ends, as in "until 18:00".
      body = fillIn(tr("until %s"), {end});
    } else {
      // TRANSLATORS: who sent an official weather alert and the time it ends, as in
      // "SMHI until 18:00".
      body = fillIn(tr("%s until %s"), {body, end});
    }
  }
  return {alert.event, std::move(body), true};
}

void AlertNotices::update(std::vector<WeatherAlert> alerts) {
  alerts_ = std::move(alerts);
  check();
}

void AlertNotices::check() {
  if (nextStart_) nextStart_->invalidate();
  if (!env_.notifier || !env_.enabled()) return;
  load();
  const double now = env_.now();
  std::erase_if(notified_, [now](const Remembered& alert) {
    return alert.end ? *alert.end <= now : alert.notifiedAt + kRememberedWithoutEnd < now;
  });
  for (const WeatherAlert& alert : alerts_) {
    if (!inForce(alert, now)) continue;
    std::string key = keyOf(alert);
    if (pending_.contains(key) ||
        std::ranges::any_of(notified_, [&](const Remembered& seen) { return seen.key == key; }))
      continue;
    pending_.insert(key);
    const std::weak_ptr<bool> alive = alive_;
    env_.notifier->notify(
        noticeFor(alert, env_.times, now),
        [this, alive, key, alert, now](bool delivered) {
          if (alive.expired()) return;
          pending_.erase(key);
          // Without a server it is tried again at the next answer.
          if (delivered) sent(alert, now);
        },
        [this, alive, alert] {
          if (!alive.expired()) env_.open(alert);
        });
  }
  scheduleNextStart(now);
}

void AlertNotices::sent(const WeatherAlert& alert, double at) {
  notified_.push_back({keyOf(alert), alert.end, at});
  if (notified_.size() > kMostRemembered)
    notified_.erase(notified_.begin(), notified_.end() - kMostRemembered);
  save();
}

void AlertNotices::scheduleNextStart(double now) {
  std::optional<double> next;
  for (const WeatherAlert& alert : alerts_)
    if (alert.start && *alert.start > now && (!alert.end || *alert.start < *alert.end))
      next = std::min(next.value_or(*alert.start), *alert.start);
  if (!next) return;
  const double wait = std::min(*next - now, Timer::kMaximumInterval);
  nextStart_ = env_.runLoop.scheduledTimer(wait, [this] { check(); });
  nextStart_->setTolerance(1);
}

void AlertNotices::load() {
  if (std::exchange(loaded_, true) || !env_.files) return;
  const std::optional<std::string> text = env_.files->read(kFileName, kLargestFile);
  if (!text) return;
  JSON file;
  try {
    file = JSON(Data{*text}, ReadingOptions{});
  } catch (const std::exception&) {
    return;  // forgotten: at worst an alert in force is notified once more
  }
  for (const JSON& entry : file["alerts"].arrayValue()) {
    std::optional<std::string> key = entry["key"].asString();
    const std::optional<double> at = entry["notifiedAt"].asDouble();
    if (!key || !at || !std::isfinite(*at)) continue;
    std::optional<double> end = entry["end"].asDouble();
    if (end && !std::isfinite(*end)) end.reset();
    notified_.push_back({std::move(*key), end, *at});
  }
  if (notified_.size() > kMostRemembered)
    notified_.erase(notified_.begin(), notified_.end() - kMostRemembered);
}

void AlertNotices::save() const {
  if (!env_.files) return;
  std::vector<Object> entries;
  for (const Remembered& alert : notified_) {
    entries.emplace_back(Dictionary{{"key", alert.key},
                                    {"end", alert.end ? Object(*alert.end) : Object(nullptr)},
                                    {"notifiedAt", alert.notifiedAt}});
  }
  try {
    env_.files->write(kFileName, JSON(Dictionary{{"alerts", Array(std::move(entries))}})
                                     .serializedData(WritingOptions::none)
                                     .bytes);
  } catch (const std::exception&) {
    // Texts read from the answer are valid UTF-8; nothing else can fail to be written.
  }
}

}  // namespace stratovane
