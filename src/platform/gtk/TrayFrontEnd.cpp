// The tray front-end: GTK, the panel item and the windows of the interface files.
#include "platform/gtk/TrayFrontEnd.h"

#include <giomm/init.h>
#include <glibmm/main.h>
#include <glibmm/miscutils.h>
#include <gtk/gtk.h>
#include <gtkmm/main.h>

#include <cstdlib>
#include <stdexcept>
#include <string_view>

#include "platform/Translation.h"
#include "platform/gtk/IndicatorStatusItem.h"
#include "platform/system/BlankIcon.h"

namespace stratovane::gtk {

namespace {

constexpr const char* kIconName = "stratovane";

// Long enough for a panel started in the same session to claim its bus name.
constexpr unsigned kProbeDelaySeconds = 3;

bool named(const char* variable) {
  const char* value = std::getenv(variable);
  return value != nullptr && *value != '\0';
}

Glib::RefPtr<Gio::DBus::Connection> sessionBus() {
  try {
    return Gio::DBus::Connection::get_sync(Gio::DBus::BUS_TYPE_SESSION);
  } catch (const Glib::Error&) {
    return {};  // then only an XEmbed tray can host the item
  }
}

// Every window carries the application's icon: the installed one, else (in the build tree) the
// copy compiled into the resources, which then stands in the icon theme.
void useApplicationIcon() {
  GtkIconTheme* theme = gtk_icon_theme_get_default();
  if (!gtk_icon_theme_has_icon(theme, kIconName))
    gtk_icon_theme_add_resource_path(theme, "/org/stratovane/icons");
  gtk_window_set_default_icon_name(kIconName);
}

}  // namespace

Notifier* TrayFrontEnd::notifier() {
  if (!notifier_) {
    const Glib::RefPtr<Gio::DBus::Connection> bus = sessionBus();
    notifier_ = std::make_unique<DBusNotifier>(bus ? bus->gobj() : nullptr);
  }
  return notifier_.get();
}

bool TrayFrontEnd::displayAvailable() {
  // A panel item draws nothing with OpenGL; probing GL visuals at start-up loads the whole
  // GL driver (tens of MiB, hundreds of ms). The user's own setting wins.
  g_setenv("GDK_GL", "disable", FALSE);
  return (named("DISPLAY") || named("WAYLAND_DISPLAY")) && gtk_init_check(nullptr, nullptr);
}

TrayFrontEnd::TrayFrontEnd(int& argc, char**& argv) {
  Glib::set_prgname("stratovane");
  Glib::set_application_name("Stratovane");
  if (!gtk_init_check(&argc, &argv)) throw std::runtime_error("cannot open the display");
  // Windows run in the direction of the language our texts are in, also where the toolkit has no
  // catalogue of its own for it.
  // TRANSLATORS: "default:RTL" for a language written from right to left, else "default:LTR".
  const bool rightToLeft = std::string_view(tr("default:LTR")) == "default:RTL";
  gtk_widget_set_default_direction(rightToLeft ? GTK_TEXT_DIR_RTL : GTK_TEXT_DIR_LTR);
  // gtkmm's wrappers are registered here; the main loop stays GTK's own.
  Gtk::Main::init_gtkmm_internals();
  useApplicationIcon();
}

std::shared_ptr<StatusItem> TrayFrontEnd::createStatusItem() {
  auto item = std::make_shared<IndicatorStatusItem>("stratovane", BlankIcon::install());
  const Glib::RefPtr<Gio::DBus::Connection> bus = sessionBus();
  hostWatch_ = std::make_unique<PanelHostWatch>(
      bus ? bus->gobj() : nullptr,
      [shown = std::weak_ptr<IndicatorStatusItem>(item)](PanelLook look) {
        if (const auto item = shown.lock()) item->setLook(look);
      });
  if (!probe_) {
    probe_ = std::make_unique<PanelHostProbe>(bus ? bus->gobj() : nullptr);
    pendingProbe_ = Glib::signal_timeout().connect_seconds(
        [this, bus] {
          probe_->check([bus](bool watcher, bool xembedTray) {
            if (!watcher && !xembedTray) PanelHostProbe::sayNoHost(bus ? bus->gobj() : nullptr);
          });
          return false;
        },
        kProbeDelaySeconds);
  }
  return item;
}

DesktopFrontEnd::SessionRole TrayFrontEnd::claimSession(std::function<void()> activated) {
  session_ = std::make_unique<SessionInstance>(kApplicationId);
  session_->setActivation(std::move(activated));
  return session_->sessionRole();
}

void TrayFrontEnd::watchSleep(std::function<void()> woke) {
  sleepMonitor_ = std::make_unique<SleepMonitor>(std::move(woke));
}

void TrayFrontEnd::run() {
  gtk_main();
}

void TrayFrontEnd::quit() {
  gtk_main_quit();
}

}  // namespace stratovane::gtk
