// Whether the panel item starts when the user logs in to the desktop.
#pragma once

namespace stratovane {

class Autostart {
 public:
  virtual ~Autostart() = default;
  // On when the desktop would start the panel item at login.
  virtual bool isEnabled() const = 0;
  // False when the change could not be made; the previous state then stays.
  virtual bool setEnabled(bool enabled) = 0;
};

}  // namespace stratovane
