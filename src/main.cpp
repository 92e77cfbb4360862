// Composition root: picks the front-end, builds the platform services and runs the main loop.
#include <glib-unix.h>
#include <glib.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/AppDelegate.h"
#include "platform/gtk/GtkViewPresenter.h"
#include "platform/gtk/TrayFrontEnd.h"
#include "platform/line/LineStatusItem.h"
#include "platform/line/NoInterfaceLoader.h"
#include "platform/system/CurlHttpLoader.h"
#include "platform/system/FileUserDefaults.h"
#include "platform/system/GLibMainQueue.h"
#include "platform/system/GLibRunLoop.h"
#include "platform/system/GioWorkspace.h"
#include "platform/system/IcuTimeFormatting.h"
#include "platform/system/KernelReachability.h"
#include "platform/system/LocaleNumberFormatting.h"
#include "platform/system/ThreadPoolQueue.h"
#include "settings/presentSettingsView.h"

namespace {

using namespace stratovane;

constexpr const char* usage =
    "Usage: stratovane [--line | --waybar | --settings | --help | --version]\n"
    "\n"
    "Shows the weather at one chosen place in the desktop's panel.\n"
    "\n"
    "  (no option)  the panel item when a graphical session is available,\n"
    "               otherwise the same as --line\n"
    "  --line       print every status title as one line on standard output\n"
    "  --waybar     print one JSON object per line for waybar's custom module\n"
    "  --settings   open the settings in a window and exit when it is closed\n"
    "  --help       show this help and exit\n"
    "  --version    show the version and exit\n"
    "\n"
    "SIGUSR1 fetches the forecast at once; SIGINT and SIGTERM end the program.\n"
    "Settings: $XDG_CONFIG_HOME/stratovane/settings.ini (~/.config when unset).\n"
    "STRATOVANE_WEATHER_URL: the weather endpoint without its query.\n";

enum class FrontEnd { automatic, line, waybar, settings };

// Ends the process at once: nothing waits for fetches still in flight.
[[noreturn]] void exitNow(int status) {
  std::fflush(nullptr);
  std::_Exit(status);
}

gboolean onTerminate(gpointer) {
  exitNow(0);
}

gboolean onUpdateSignal(gpointer data) {
  static_cast<AppDelegate*>(data)->updateMenu();
  return G_SOURCE_CONTINUE;
}

// The settings view alone, for text-bar users: an ordinary window, status 0 once it closed.
int runSettings(int& argc, char**& argv) {
  if (!gtk::TrayFrontEnd::displayAvailable()) {
    std::fputs("stratovane: --settings needs a graphical session, and none is available\n", stderr);
    return 2;
  }
  gtk::TrayFrontEnd toolkit(argc, argv);
  FileUserDefaults defaults(FileUserDefaults::defaultPath());
  // The view shows what the panel item would use, fallbacks included.
  const std::vector<std::pair<std::string, std::string>> fallbacks(registeredDefaults.begin(),
                                                                   registeredDefaults.end());
  defaults.registerDefaults(fallbacks);
  NotificationCenter notificationCenter;
  GioWorkspace workspace;
  gtk::GtkViewPresenter presenter;
  const auto view = presentSettingsView(
      {defaults, notificationCenter, workspace, toolkit.interfaceLoader(), presenter},
      PresentationStyle::window, [] {
        // Runs before the settings are stored; the exit waits for the loop's next turn.
        g_idle_add([](gpointer) -> gboolean { exitNow(0); }, nullptr);
      });
  if (!view) return 1;
  toolkit.run();
  return 0;
}

std::string weatherEndpoint() {
  const char* endpoint = std::getenv("STRATOVANE_WEATHER_URL");
  return endpoint != nullptr && *endpoint != '\0' ? endpoint : defaultWeatherEndpoint;
}

}  // namespace

int main(int argc, char** argv) {
  FrontEnd frontEnd = FrontEnd::automatic;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--help" || argument == "-h") {
      std::fputs(usage, stdout);
      return 0;
    }
    if (argument == "--version") {
      std::printf("stratovane %s\n", STRATOVANE_VERSION);
      return 0;
    }
    if (argument == "--line") {
      frontEnd = FrontEnd::line;
    } else if (argument == "--waybar") {
      frontEnd = FrontEnd::waybar;
    } else if (argument == "--settings") {
      frontEnd = FrontEnd::settings;
    } else {
      std::fprintf(stderr, "stratovane: unknown option %s\n%s", argv[i], usage);
      return 2;
    }
  }

  if (frontEnd == FrontEnd::settings) return runSettings(argc, argv);

  std::unique_ptr<gtk::TrayFrontEnd> tray;
  if (frontEnd == FrontEnd::automatic) {
    if (gtk::TrayFrontEnd::displayAvailable()) {
      tray = std::make_unique<gtk::TrayFrontEnd>(argc, argv);
    } else {
      std::fputs("stratovane: no graphical session; writing titles to standard output\n", stderr);
      frontEnd = FrontEnd::line;
    }
  }

  GLibRunLoop runLoop;
  GLibMainQueue mainQueue;
  // Held until launch has finished, so that the first download sees the registered fallbacks.
  ThreadPoolQueue backgroundQueue(ThreadPoolQueue::Start::suspended);
  FileUserDefaults defaults(FileUserDefaults::defaultPath());
  NotificationCenter notificationCenter;
  CurlHttpLoader loader;
  KernelReachability routes;
  InternetReachability::shared().setService(&routes);
  LocaleNumberFormatting numberFormatting;
  IcuTimeFormatting timeFormatting;
  NoInterfaceLoader noWindows;
  GioWorkspace workspace;
  std::unique_ptr<gtk::GtkViewPresenter> viewPresenter;
  if (tray) viewPresenter = std::make_unique<gtk::GtkViewPresenter>();

  std::shared_ptr<LineStatusItem> lineItem;
  if (!tray) {
    lineItem = std::make_shared<LineStatusItem>(
        frontEnd == FrontEnd::waybar ? LineFormat::waybar : LineFormat::plain, mainQueue);
  }

  AppDelegate appDelegate(AppEnvironment{
      .runLoop = runLoop,
      .mainQueue = mainQueue,
      .backgroundQueue = backgroundQueue,
      .defaults = defaults,
      .notificationCenter = notificationCenter,
      .loader = loader,
      .reachability = InternetReachability::shared(),
      .interfaceLoader = tray ? tray->interfaceLoader() : static_cast<InterfaceLoader&>(noWindows),
      .numberFormatting = numberFormatting,
      .timeFormatting = timeFormatting,
      .makeStatusItem = [&]() -> std::shared_ptr<StatusItem> {
        if (tray) return tray->createStatusItem();
        return lineItem;
      },
      .exit = exitNow,
      .weatherEndpoint = weatherEndpoint(),
      .workspace = &workspace,
      .viewPresenter = viewPresenter.get(),
  });
  if (lineItem) lineItem->setForecastText([&] { return appDelegate.dailyForcast(); });

  g_unix_signal_add(SIGINT, onTerminate, nullptr);
  g_unix_signal_add(SIGTERM, onTerminate, nullptr);
  g_unix_signal_add(SIGUSR1, onUpdateSignal, &appDelegate);

  appDelegate.applicationDidFinishLaunching();
  backgroundQueue.resume();

  if (tray) {
    tray->run();
  } else {
    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    g_main_loop_run(loop);
    g_main_loop_unref(loop);
  }
  exitNow(0);
}
