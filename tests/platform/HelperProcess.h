// Re-runs this test binary in a small helper mode: in another network namespace or as
// another user, where the test process itself cannot go.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace stratovane::testing {

struct HelperOutcome {
  bool started = false;      // false when the prefix command is missing or refused
  std::optional<int> value;  // the helper's answer when it ran to the end
};

// Runs `prefix` (a command such as {"unshare", "-n"}; empty for none) followed by this binary
// in the helper `mode` with `argument`, optionally as the user and group `asUser` (by setpriv).
HelperOutcome runHelper(const std::vector<std::string>& prefix, const std::string& mode,
                        const std::string& argument, std::optional<uid_t> asUser = {});

}  // namespace stratovane::testing
