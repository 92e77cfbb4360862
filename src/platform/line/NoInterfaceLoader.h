// Text bars have no windows: every interface file is missing.
#pragma once

#include "platform/Widgets.h"

namespace stratovane {

class NoInterfaceLoader : public InterfaceLoader {
 public:
  std::shared_ptr<Window> loadWindow(const std::string&, const Connections&) override {
    return nullptr;
  }
};

}  // namespace stratovane
