// The check for a newer version on the update server.
#include "update/UpdateCheck.h"

#include <utility>

#include "json/URL.h"
#include "platform/Translation.h"
#include "update/TextDecoding.h"
#include "update/Version.h"

namespace stratovane {

namespace {

constexpr const char* kVersionFailure = trLater("Could not check online version");
constexpr const char* kHistoryFailure = trLater("Could not load the revision history");

}  // namespace

UpdateCheck::UpdateCheck(UpdateEnvironment environment, UpdatePresenter& presenter)
    : env_(std::move(environment)), presenter_(presenter) {}

std::string UpdateCheck::offerMessage(const std::string& publishedVersion,
                                      const std::string& runningVersion) {
  return fillIn(
      tr("Stratovane %s is now available - you have %s. Would you like to download it now?"),
      {publishedVersion, runningVersion});
}

std::string UpdateCheck::badURLMessage() const {
  return fillIn(tr("Bad URL (Should not happen) - please contact %s"), {env_.contact});
}

void UpdateCheck::run() {
  if (running_) return;
  if (!env_.reachability.isConnectedToNetwork()) {
    presenter_.checkEndedSilently(UpdatePresenter::SilentEnd::offline);
    return;
  }
  const std::optional<URL> versionURL = URL::fromString(env_.serverURL + kVersionPath);
  if (!versionURL) {
    presenter_.showErrorWindow(badURLMessage());
    return;
  }
  running_ = true;
  env_.backgroundQueue.async([this, url = versionURL->absoluteString()] {
    Outcome outcome = download(url);
    env_.mainQueue.async(
        [this, outcome = std::move(outcome)]() mutable { finish(std::move(outcome)); });
  });
}

UpdateCheck::Outcome UpdateCheck::download(const std::string& versionURL) const {
  // A failure nobody foresaw (memory, a throwing reader) ends the check like the step it hit.
  const char* failure = kVersionFailure;
  try {
    std::optional<HttpResponse> version = env_.loader.loadWithContentType(versionURL);
    if (!version) return tr(kVersionFailure);
    std::optional<std::string> publishedVersion = decodeText(version->body, version->contentType);
    if (!publishedVersion) return tr(kVersionFailure);

    const std::optional<URL> historyURL = URL::fromString(env_.serverURL + kRevisionHistoryPath);
    if (!historyURL) return badURLMessage();
    failure = kHistoryFailure;
    const std::optional<std::string> history = env_.loader.load(historyURL->absoluteString());
    if (!history || !env_.readRTF) return tr(kHistoryFailure);
    std::optional<AttributedString> revisionHistory = env_.readRTF(*history);
    if (!revisionHistory) return tr(kHistoryFailure);
    return Downloaded{std::move(*publishedVersion), std::move(*revisionHistory)};
  } catch (...) {
    return tr(failure);
  }
}

void UpdateCheck::finish(Outcome outcome) {
  running_ = false;
  if (const std::string* message = std::get_if<std::string>(&outcome)) {
    presenter_.showErrorWindow(*message);
    return;
  }
  const Downloaded& downloaded = std::get<Downloaded>(outcome);
  if (!env_.runningVersion) {
    presenter_.checkEndedSilently(UpdatePresenter::SilentEnd::noRunningVersion);
    return;
  }
  if (Version::parse(*env_.runningVersion) < Version::parse(downloaded.publishedVersion)) {
    presenter_.showUpdateWindow(offerMessage(downloaded.publishedVersion, *env_.runningVersion),
                                downloaded.revisionHistory);
  } else {
    presenter_.showNoUpdateWindow();
  }
}

}  // namespace stratovane
