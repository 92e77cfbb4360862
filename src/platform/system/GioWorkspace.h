// Opens addresses with GIO's default handler for their scheme.
#pragma once

#include <string>

#include "platform/Workspace.h"

namespace stratovane {

class GioWorkspace final : public Workspace {
 public:
  // Failures are reported in one line on standard error.
  bool openURL(const std::string& url) override;
};

}  // namespace stratovane
