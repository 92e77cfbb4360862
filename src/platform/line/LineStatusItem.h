// The panel item of text bars: every title becomes a line on standard output.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/RunLoop.h"
#include "platform/StatusItem.h"

namespace stratovane {

enum class LineFormat {
  plain,   // the title alone, one line per write
  waybar,  // {"text": title, "tooltip": forecast entries, a blank line, forecast text, the data
           // credit}, both
           // escaped for Pango markup, which waybar applies by default; "class": "alert" while
           // an alert is in force
};

class LineStatusItem : public StatusItem {
 public:
  // `writeLine` gets every line without its line feed.
  LineStatusItem(LineFormat format, Queue& mainQueue,
                 std::function<void(const std::string&)> writeLine);

  // The forecast text for the tooltip, asked for at every line written.
  void setForecastText(std::function<std::string()> forecastText) {
    forecastText_ = std::move(forecastText);
  }
  // The data credit that ends the tooltip instead of standing among the menu's lines; asked for
  // at every line written, empty for none.
  void setDataCredit(std::function<std::string()> dataCredit) {
    dataCredit_ = std::move(dataCredit);
  }
  // Whether an alert is in force, asked for at every line written.
  void setAlertInForce(std::function<bool()> alertInForce) {
    alertInForce_ = std::move(alertInForce);
  }

  bool hasButton() const override { return true; }
  void setTitle(const std::string& title) override;
  std::string title() const override { return title_; }
  void setMenu(std::shared_ptr<Menu> menu) override;
  std::shared_ptr<Menu> menu() const override { return menu_; }
  bool menuIsChoosable() const override { return false; }

  // The waybar line for the present title, menu and forecast text.
  std::string waybarLine() const;

 private:
  void scheduleWaybarLine();

  LineFormat format_;
  Queue& mainQueue_;
  std::function<void(const std::string&)> writeLine_;
  std::string title_;
  std::shared_ptr<Menu> menu_;
  std::function<std::string()> forecastText_;
  std::function<bool()> alertInForce_;
  std::function<std::string()> dataCredit_;
  // A new answer rewrites the title and then the menu: one waybar line covers both.
  bool lineScheduled_ = false;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// The text as a JSON string literal, quotes included.
std::string jsonQuoted(const std::string& text);

// The text with &, < and > as entities, so Pango markup shows it as it is.
std::string markupEscaped(const std::string& text);

}  // namespace stratovane
