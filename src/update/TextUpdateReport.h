// The update check's outcome as text, for `stratovane --check-update` without a display.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <utility>

#include "update/UpdatePresenter.h"

namespace stratovane {

// The offer message, a blank line and the revision history, or the no-update text, on `out`
// with status 0; the error window's message on `out` with status 1; a silent end as one line
// on `err` with status 1. `finished` gets the status once the text is written.
class TextUpdateReport : public UpdatePresenter {
 public:
  TextUpdateReport(std::FILE* out, std::FILE* err, std::function<void(int)> finished)
      : out_(out), err_(err), finished_(std::move(finished)) {}

  void showUpdateWindow(const std::string& message,
                        const AttributedString& revisionHistory) override;
  void showNoUpdateWindow() override;
  void showErrorWindow(const std::string& message) override;
  void checkEndedSilently(SilentEnd reason) override;

  // Said on standard error when the check could not be made; shared with the windowed command.
  static const char* silentEndText(SilentEnd reason);

 private:
  void write(std::FILE* stream, const std::string& text, int status);

  std::FILE* out_;
  std::FILE* err_;
  std::function<void(int)> finished_;
};

}  // namespace stratovane
