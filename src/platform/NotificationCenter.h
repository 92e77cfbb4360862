// In-process named notifications; observers run synchronously on the posting thread.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace stratovane {

class NotificationCenter {
 public:
  using Observer = std::function<void()>;

  void addObserver(std::string name, Observer observer) {
    observers_.push_back({std::move(name), std::move(observer)});
  }

  void post(const std::string& name) const {
    // Copy first: an observer may add observers while being called.
    auto observers = observers_;
    for (const auto& [observedName, observer] : observers)
      if (observedName == name) observer();
  }

 private:
  std::vector<std::pair<std::string, Observer>> observers_;
};

}  // namespace stratovane
