// One panel item per desktop session: GIO's application uniqueness on the session bus.
#pragma once

#include <functional>
#include <memory>

#include "platform/DesktopFrontEnd.h"

typedef struct _GApplication GApplication;

namespace stratovane {

// The AppStream id; the session bus knows the panel item by it.
inline constexpr const char* kApplicationId = "org.stratovane.Stratovane";

class SessionInstance {
 public:
  enum class Role {
    first,   // owns the name: later instances hand over to this one
    second,  // another instance owns it and has been asked to show itself
    alone,   // no session bus: runs without uniqueness
  };

  // Registers `applicationId` on the session bus; when another process holds it, activates that
  // one and waits until the request has left.
  explicit SessionInstance(const char* applicationId);
  ~SessionInstance();
  SessionInstance(const SessionInstance&) = delete;
  SessionInstance& operator=(const SessionInstance&) = delete;

  Role role() const { return role_; }
  // The same, as the front-ends report it.
  DesktopFrontEnd::SessionRole sessionRole() const;
  // Runs on the main context each time a later instance starts, once the main loop runs.
  void setActivation(std::function<void()> activation) { activation_ = std::move(activation); }

 private:
  struct Unref {
    void operator()(GApplication* application) const noexcept;
  };
  std::unique_ptr<GApplication, Unref> application_;
  Role role_ = Role::alone;
  std::function<void()> activation_;
};

}  // namespace stratovane
