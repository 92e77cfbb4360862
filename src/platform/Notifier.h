// Messages for the user through the desktop's notification server.
#pragma once

#include <functional>
#include <string>

namespace stratovane {

class Notifier {
 public:
  struct Notice {
    std::string summary;
    std::string body;
    bool critical = false;
  };

  virtual ~Notifier() = default;
  // Shows `notice`. `sent` runs once on the main thread: true when the server took it, false
  // when there is no server or it refused. `chosen` runs on the main thread each time the user
  // chooses the notice, for as long as the server shows it.
  virtual void notify(const Notice& notice, std::function<void(bool sent)> sent,
                      std::function<void()> chosen) = 0;
};

}  // namespace stratovane
