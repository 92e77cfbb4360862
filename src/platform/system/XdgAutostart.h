// Start at login through an entry in the XDG autostart folder.
#pragma once

#include <filesystem>
#include <utility>

#include "platform/Autostart.h"

namespace stratovane {

class XdgAutostart final : public Autostart {
 public:
  // `entry` is the desktop entry file this service owns.
  explicit XdgAutostart(std::filesystem::path entry) : entry_(std::move(entry)) {}

  // $XDG_CONFIG_HOME/autostart/stratovane.desktop, ~/.config when unset; empty without a home.
  static std::filesystem::path defaultPath();

  // An entry that is missing, unreadable, or turned off by the desktop's own tools (Hidden=true
  // or X-GNOME-Autostart-enabled=false) counts as off.
  bool isEnabled() const override;
  // On writes the whole entry atomically, creating the folder (0700) when missing; off removes
  // it. Failures are reported in one line on standard error.
  bool setEnabled(bool enabled) override;

  const std::filesystem::path& entry() const { return entry_; }

 private:
  std::filesystem::path entry_;
};

// The entry that starts the panel item.
extern const char* const kAutostartEntry;

}  // namespace stratovane
