// Runs of the built binary on the test's display, with a private session bus and configuration.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "GuiTest.h"
#include "PrivateBus.h"
#include "support/ChildProcess.h"
#include "support/ConfigDir.h"

namespace stratovane::testing {

class AppRunTest : public GuiTest {
 protected:
  // The binary with `arguments`, in the C locale and UTC, its map cache in the configuration's
  // folder; `extra` adds to or overrides the environment (an empty value unsets).
  std::unique_ptr<ChildProcess> start(const std::vector<std::string>& arguments = {},
                                      std::map<std::string, std::string> extra = {}) const {
    std::vector<std::string> argv{STRATOVANE_BINARY};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    extra.insert({{"DBUS_SESSION_BUS_ADDRESS", bus.address()},
                  {"XDG_CONFIG_HOME", config.path.string()},
                  {"XDG_CACHE_HOME", config.path.string()},
                  {"NO_AT_BRIDGE", "1"},
                  {"GTK_A11Y", "none"},
                  {"LC_ALL", "C"},
                  {"TZ", "UTC"}});
    return std::make_unique<ChildProcess>(argv, extra);
  }

  PrivateBus bus;
  ConfigDir config;
};

}  // namespace stratovane::testing
