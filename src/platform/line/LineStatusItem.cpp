// Title lines and waybar objects for text bars.
#include "platform/line/LineStatusItem.h"

#include <array>
#include <cstdio>
#include <vector>

namespace stratovane {

LineStatusItem::LineStatusItem(LineFormat format, Queue& mainQueue,
                               std::function<void(const std::string&)> writeLine)
    : format_(format), mainQueue_(mainQueue), writeLine_(std::move(writeLine)) {}

void LineStatusItem::setTitle(const std::string& title) {
  title_ = title;
  if (format_ == LineFormat::plain)
    writeLine_(title_);
  else
    scheduleWaybarLine();
}

void LineStatusItem::setMenu(std::shared_ptr<Menu> menu) {
  menu_ = std::move(menu);
  if (menu_ && format_ == LineFormat::waybar) menu_->setOnChange([this] { scheduleWaybarLine(); });
}

std::string LineStatusItem::waybarLine() const {
  std::string tooltip;
  const std::string credit = dataCredit_ ? dataCredit_() : std::string();
  if (menu_) {
    // The forecast entries come in runs that each end in a separator (the alerts, then the
    // hours); the empty run between the two separators before the commands ends them.
    std::vector<const std::string*> run;
    for (const MenuItem& item : menu_->items()) {
      if (!item.separator) {
        run.push_back(&item.title);
        continue;
      }
      if (run.empty()) break;
      for (const std::string* title : run) {
        if (!credit.empty() && *title == credit) continue;
        if (!tooltip.empty()) tooltip += '\n';
        tooltip += *title;
      }
      run.clear();
    }
  }
  if (!tooltip.empty() && forecastText_) tooltip += "\n\n" + forecastText_();
  if (!tooltip.empty() && !credit.empty()) tooltip += "\n\n" + credit;
  const bool alert = alertInForce_ && alertInForce_();
  return "{\"text\":" + jsonQuoted(markupEscaped(title_)) +
         ",\"tooltip\":" + jsonQuoted(markupEscaped(tooltip)) +
         (alert ? ",\"class\":\"alert\"}" : "}");
}

void LineStatusItem::scheduleWaybarLine() {
  if (lineScheduled_) return;
  lineScheduled_ = true;
  mainQueue_.async([this, alive = std::weak_ptr<bool>(alive_)] {
    if (alive.expired()) return;
    lineScheduled_ = false;
    writeLine_(waybarLine());
  });
}

std::string jsonQuoted(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        quoted += "\\\"";
        break;
      case '\\':
        quoted += "\\\\";
        break;
      case '\n':
        quoted += "\\n";
        break;
      case '\r':
        quoted += "\\r";
        break;
      case '\t':
        quoted += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          std::array<char, 8> escaped{};
          std::snprintf(escaped.data(), escaped.size(), "\\u%04x", static_cast<unsigned char>(c));
          quoted += escaped.data();
        } else {
          quoted += c;
        }
    }
  }
  return quoted + "\"";
}

std::string markupEscaped(const std::string& text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

}  // namespace stratovane
