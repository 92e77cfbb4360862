// Opening addresses in the user's default handler (the web browser for http and https).
#pragma once

#include <string>

namespace stratovane {

class Workspace {
 public:
  virtual ~Workspace() = default;
  // Returns at once; false when no handler could be asked to open the address.
  virtual bool openURL(const std::string& url) = 0;
};

}  // namespace stratovane
