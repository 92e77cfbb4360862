// The check for a newer version on the update server.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "platform/HttpLoader.h"
#include "platform/InternetReachability.h"
#include "platform/RunLoop.h"
#include "rtf/AttributedString.h"
#include "update/UpdatePresenter.h"

namespace stratovane {

// Reads an RTF document; none when the data is not RTF.
using RtfReading = std::function<std::optional<AttributedString>(std::string_view data)>;

inline constexpr const char* kVersionPath = "/version/stratovane_version.txt";
inline constexpr const char* kRevisionHistoryPath = "/version/stratovane_rh.rtf";
inline constexpr const char* kArchivePath = "/resources/Stratovane.zip";

struct UpdateEnvironment {
  InternetReachability& reachability;
  HttpLoader& loader;
  Queue& mainQueue;
  Queue& backgroundQueue;
  RtfReading readRTF;
  std::optional<std::string> runningVersion;  // none when the build does not say
  std::string serverURL;                      // scheme, host and optional path, before "/version"
  std::string contact;                        // the maintainer's address
};

// The downloads and the reading of their texts run on the background queue, the rest on the
// main thread, so a slow server never holds up the menu. Calls and the presenter run on the
// main thread; the object must outlive every check it starts.
class UpdateCheck {
 public:
  UpdateCheck(UpdateEnvironment environment, UpdatePresenter& presenter);
  UpdateCheck(const UpdateCheck&) = delete;
  UpdateCheck& operator=(const UpdateCheck&) = delete;

  // Starts a check; ignored while one is running.
  void run();
  bool isRunning() const { return running_; }

  static std::string offerMessage(const std::string& publishedVersion,
                                  const std::string& runningVersion);
  std::string badURLMessage() const;

 private:
  struct Downloaded {
    std::string publishedVersion;
    AttributedString revisionHistory;
  };
  using Outcome = std::variant<Downloaded, std::string>;  // or the error window's message

  // Runs on the background queue.
  Outcome download(const std::string& versionURL) const;
  void finish(Outcome outcome);

  UpdateEnvironment env_;
  UpdatePresenter& presenter_;
  bool running_ = false;
};

}  // namespace stratovane
