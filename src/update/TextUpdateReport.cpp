// The update check's outcome as text, for `stratovane --check-update` without a display.
#include "update/TextUpdateReport.h"

#include "platform/Translation.h"
#include "update/NoUpdateWindow.h"

namespace stratovane {

void TextUpdateReport::showUpdateWindow(const std::string& message,
                                        const AttributedString& revisionHistory) {
  write(out_, message + "\n\n" + revisionHistory.string, 0);
}

void TextUpdateReport::showNoUpdateWindow() {
  write(out_, tr(NoUpdateWindow::kMessage), 0);
}

void TextUpdateReport::showErrorWindow(const std::string& message) {
  write(out_, message, 1);
}

void TextUpdateReport::checkEndedSilently(SilentEnd reason) {
  write(err_, silentEndText(reason), 1);
}

const char* TextUpdateReport::silentEndText(SilentEnd reason) {
  return reason == SilentEnd::offline
             ? tr("stratovane: no network connection; the update server was not asked")
             : tr("stratovane: this build does not know its own version");
}

void TextUpdateReport::write(std::FILE* stream, const std::string& text, int status) {
  std::fputs(text.c_str(), stream);
  // The published version text may end in a line break of its own; the output ends in one.
  if (text.empty() || text.back() != '\n') std::fputc('\n', stream);
  std::fflush(stream);
  finished_(status);
}

}  // namespace stratovane
