// How the panel host draws status items, decided from the program that owns the watcher.
#include "platform/system/PanelLook.h"

#include <array>

namespace stratovane {

namespace {

// Watcher owners whose hosts draw the item's label: GNOME Shell with the AppIndicator extension,
// and the indicator service the indicator applets (xfce4, MATE, Budgie) draw their items from.
// xfce4-panel's own tray, Plasma and waybar draw no labels.
constexpr std::array<std::string_view, 3> kLabelHosts = {
    "gnome-shell", "ayatana-indicator-application-service", "indicator-application-service"};

// The length /proc/PID/comm cuts names to.
constexpr std::size_t kShortNameLength = 15;

}  // namespace

PanelLook panelLookFor(std::string_view program) {
  for (const std::string_view host : kLabelHosts) {
    if (program == host ||
        (program.size() == kShortNameLength && host.substr(0, kShortNameLength) == program)) {
      return PanelLook::label;
    }
  }
  return PanelLook::iconOnly;
}

}  // namespace stratovane
