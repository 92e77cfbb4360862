// Re-runs this test binary in a small helper mode: in another network namespace or as
// another user, where the test process itself cannot go.
#include "HelperProcess.h"

#include <sys/socket.h>

#include <cstdlib>
#include <filesystem>

#include "platform/system/FileUserDefaults.h"
#include "platform/system/KernelReachability.h"
#include "support/ChildProcess.h"

namespace stratovane::testing {

namespace {

constexpr const char* kModeVariable = "STRATOVANE_PLATFORM_HELPER";
constexpr const char* kArgumentVariable = "STRATOVANE_PLATFORM_HELPER_ARGUMENT";
// Exit statuses from 100 up carry an answer; anything else comes from a prefix command.
constexpr int kAnswerBase = 100;

// The helper modes answer with a small number:
//   routes: 0 no usable default route, 1 reachable, 2 a table could not be read
//   unreadable-settings: 0 when the store started empty, kept a write in memory and stopped
//   saving; 1 otherwise
int runMode(const std::string& mode, const std::string& argument) {
  if (mode == "routes") {
    KernelReachability routes;
    const auto ipv4 = routes.flagsForAnyAddress(AF_INET);
    const auto ipv6 = routes.flagsForAnyAddress(AF_INET6);
    if (!ipv4 || !ipv6) return 2;
    return (*ipv4 | *ipv6) != 0 ? 1 : 0;
  }
  if (mode == "unreadable-settings") {
    FileUserDefaults defaults{std::filesystem::path(argument)};
    const bool startedEmpty = !defaults.stringForKey("apiKey").has_value();
    defaults.setString("changed", "apiKey");
    const bool kept = defaults.stringForKey("apiKey") == "changed";
    return startedEmpty && kept && !defaults.savesToFile() ? 0 : 1;
  }
  return 3;
}

// Runs before main, so that a helper never starts the test framework.
[[maybe_unused]] const bool helperModeRan = [] {
  const char* mode = std::getenv(kModeVariable);
  if (mode == nullptr || *mode == '\0') return false;
  const char* argument = std::getenv(kArgumentVariable);
  std::_Exit(kAnswerBase + runMode(mode, argument != nullptr ? argument : ""));
}();

}  // namespace

HelperOutcome runHelper(const std::vector<std::string>& prefix, const std::string& mode,
                        const std::string& argument, std::optional<uid_t> asUser) {
  std::vector<std::string> argv;
  if (asUser) {
    const std::string id = std::to_string(*asUser);
    argv = {"setpriv", "--reuid=" + id, "--regid=" + id, "--clear-groups"};
  }
  argv.insert(argv.end(), prefix.begin(), prefix.end());
  argv.push_back(std::filesystem::read_symlink("/proc/self/exe").string());
  try {
    ChildProcess helper(argv, {{kModeVariable, mode}, {kArgumentVariable, argument}});
    const auto status = helper.wait();
    // No status: the helper crashed or hung, and so gave no answer.
    if (!status) return {true, std::nullopt};
    if (*status < kAnswerBase) return {};
    return {true, *status - kAnswerBase};
  } catch (const std::exception&) {
    return {};  // the prefix command is missing
  }
}

}  // namespace stratovane::testing
