// Where the update check shows its outcome: the three windows, or text for the command line.
#pragma once

#include <string>

#include "rtf/AttributedString.h"

namespace stratovane {

class UpdatePresenter {
 public:
  enum class SilentEnd { offline, noRunningVersion };

  virtual ~UpdatePresenter() = default;
  virtual void showUpdateWindow(const std::string& message,
                                const AttributedString& revisionHistory) = 0;
  virtual void showNoUpdateWindow() = 0;
  virtual void showErrorWindow(const std::string& message) = 0;
  // The check ended without anything to show; the windows stay as they are.
  virtual void checkEndedSilently(SilentEnd) {}
};

}  // namespace stratovane
