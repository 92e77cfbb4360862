// Text bars open no addresses: nothing in them offers a link.
#pragma once

#include "platform/Workspace.h"

namespace stratovane {

class NoWorkspace final : public Workspace {
 public:
  bool openURL(const std::string&) override { return false; }
};

}  // namespace stratovane
