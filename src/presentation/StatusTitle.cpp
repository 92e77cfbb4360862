// The status-bar title built from the stored weather answer for one display mode.
#include "presentation/StatusTitle.h"

#include <optional>

#include "platform/Translation.h"
#include "presentation/WeatherAnswer.h"
#include "presentation/emojiForIcon.h"
#include "presentation/formatReading.h"

namespace stratovane {

namespace {

constexpr const char* kError = trLater("Error");
constexpr const char* kDegreeBlank = "\u00B0 ";

std::string chanceOfRain(const WeatherAnswer& answer) {
  // `currently` is a Dark Sky member; One Call answers carry the chance as hourly[0].pop.
  std::optional<double> fraction = answer.currentlyPrecipProbability();
  if (!fraction) fraction = answer.firstHourPop();
  if (!fraction) return tr("Rain 0 %");
  return tr("Rain:") + std::string(" ") + plainDouble(100.0 * *fraction) + "%";
}

std::string modeText(const WeatherAnswer& answer, std::int64_t displayMode,
                     const UserDefaults& defaults, const NumberFormatting& numbers) {
  switch (displayMode) {
    case 0:
      return answer.currentDescription().value_or(tr(kError));
    case 1: {
      const std::optional<float> temp = answer.currentTemp();
      return temp ? formatReading(*temp, defaults, numbers) + kDegreeBlank : tr(kError);
    }
    case 2:
      return chanceOfRain(answer);
    case 3: {
      const std::optional<double> clouds = answer.currentClouds();
      return clouds ? tr("Cloud:") + std::string(" ") + plainDouble(*clouds) + "%" : tr(kError);
    }
    case 4: {
      const std::optional<float> temp = answer.currentTemp();
      const std::optional<std::string> description = answer.currentDescription();
      if (!temp || !description) return tr(kError);
      return formatReading(*temp, defaults, numbers) + kDegreeBlank + *description;
    }
    default:
      return tr(kError);
  }
}

}  // namespace

std::string statusTitle(const JSON& feed, std::int64_t displayMode, const UserDefaults& defaults,
                        const NumberFormatting& numbers) {
  const WeatherAnswer answer(feed);
  std::string text = modeText(answer, displayMode, defaults, numbers);
  if (const std::optional<std::string> icon = answer.currentIcon()) {
    return emojiForIcon(*icon) + " " + text;
  }
  return text;
}

}  // namespace stratovane
