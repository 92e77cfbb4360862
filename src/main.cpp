// Composition root: picks the front-end, builds the platform services and runs the main loop.
#include <glib-unix.h>
#include <glib.h>
#include <pthread.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/AppDelegate.h"
#include "platform/Translation.h"
#include "platform/line/LineOutput.h"
#include "platform/line/LineStatusItem.h"
#include "platform/line/NoInterfaceLoader.h"
#include "platform/line/NoWorkspace.h"
#include "platform/system/CurlHttpLoader.h"
#include "platform/system/DesktopModuleLoader.h"
#include "platform/system/FileUserDefaults.h"
#include "platform/system/GLibMainQueue.h"
#include "platform/system/GLibRunLoop.h"
#include "platform/system/IcuTimeFormatting.h"
#include "platform/system/InotifyFileWatch.h"
#include "platform/system/KernelReachability.h"
#include "platform/system/LocaleNumberFormatting.h"
#include "platform/system/MessageCatalogues.h"
#include "platform/system/ProcessSignals.h"
#include "platform/system/RouteMonitor.h"
#include "platform/system/ThreadPoolQueue.h"
#include "platform/system/XdgAutostart.h"
#include "platform/system/XdgCacheFiles.h"
#include "presentation/formatReading.h"
#include "rtf/RtfReader.h"
#include "services/GeocodingAnswer.h"
#include "services/GeocodingRequest.h"
#include "services/PlaceLookup.h"
#include "settings/presentSettingsView.h"
#include "update/TextUpdateReport.h"
#include "update/UpdateCheck.h"
#include "update/WindowedUpdateReport.h"

namespace {

using namespace stratovane;

constexpr const char* kSynopsis =
    "stratovane [--line | --waybar | --settings | --check-update | --find-place TEXT |\n"
    "                   --help | --version]";
// One text per option and note: a new option adds a text to translate, and changes no other.
constexpr const char* kUsageLines[] = {
    "\n",
    trLater("Shows the weather at one chosen place in the desktop's panel.\n"),
    "\n",
    trLater("  (no option)  the panel item when a graphical session is available,\n"
            "               otherwise the same as --line\n"),
    trLater("  --line       print every status title as one line on standard output\n"),
    trLater("  --waybar     print one JSON object per line for waybar's custom module\n"),
    trLater("  --settings   open the settings in a window and exit when it is closed\n"),
    trLater("  --check-update  ask the update server for a newer version: its window with a\n"
            "               display, otherwise the outcome on standard output (status 1 on "
            "failure)\n"),
    trLater("  --find-place TEXT  print up to 10 places for a name or typed coordinates, one a\n"
            "               line: latitude, longitude and name, separated by tabs\n"),
    trLater("  --help       show this help and exit\n"),
    trLater("  --version    show the version and exit\n"),
    "\n",
    trLater("SIGUSR1 fetches the forecast at once; SIGINT and SIGTERM end the program.\n"),
    trLater("Settings: $XDG_CONFIG_HOME/stratovane/settings.ini (~/.config when unset).\n"),
    trLater("The last weather is kept in $XDG_CACHE_HOME/stratovane (~/.cache when unset).\n"),
    trLater("A second panel item in the same session opens the first one's settings instead.\n"),
    trLater("STRATOVANE_WEATHER_URL: the weather endpoint without its query.\n"),
    trLater("STRATOVANE_UPDATE_URL: the update server, before /version/.\n"),
    trLater("STRATOVANE_GEOCODING_URL: the place search endpoint without its query.\n"),
};

std::string usage() {
  std::string text = fillIn(tr("Usage: %s\n"), {kSynopsis});
  for (const char* line : kUsageLines) text += tr(line);
  return text;
}

enum class FrontEnd { automatic, line, waybar, settings, checkUpdate, findPlace };

// Ends the process at once: nothing waits for fetches still in flight.
[[noreturn]] void exitNow(int status) {
  std::fflush(nullptr);
  std::_Exit(status);
}

bool displayNamed() {
  for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

// Without a named display the toolkit is not even loaded.
std::unique_ptr<DesktopFrontEnd> loadDesktop(int& argc, char**& argv) {
  if (!displayNamed()) return nullptr;
  return DesktopModuleLoader::load(argc, argv);
}

// The toolkit's loop until it is quit when there is a desktop, otherwise a plain GLib one.
void runMainLoop(DesktopFrontEnd* desktop) {
  if (desktop) {
    desktop->run();
    return;
  }
  GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
  g_main_loop_run(loop);
  g_main_loop_unref(loop);
}

std::string geocodingEndpoint() {
  const char* endpoint = std::getenv("STRATOVANE_GEOCODING_URL");
  return geocodingEndpointFor(endpoint != nullptr ? std::optional<std::string>(endpoint)
                                                  : std::nullopt);
}

// `--find-place`: one lookup, no main loop and no toolkit.
int findPlace(const std::string& text) {
  // Held since the start; a lookup that hangs on the network must still end on Ctrl+C.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);

  FileUserDefaults defaults(FileUserDefaults::defaultPath());
  const std::vector<std::pair<std::string, std::string>> fallbacks(registeredDefaults.begin(),
                                                                   registeredDefaults.end());
  defaults.registerDefaults(fallbacks);
  CurlHttpLoader loader;
  const GeocodingAnswer answer =
      lookUpPlaces(text, feedLanguageCode(defaults.integerForKey(SettingsKey::language)),
                   geocodingEndpoint(), loader);
  switch (answer.status) {
    case GeocodingAnswer::Status::found:
      for (const Place& place : answer.places) {
        std::printf("%s\t%s\t%s\n", plainDouble(place.coordinate.latitude).c_str(),
                    plainDouble(place.coordinate.longitude).c_str(), placeTitle(place).c_str());
      }
      return std::fflush(stdout) == 0 ? 0 : 1;
    case GeocodingAnswer::Status::nothingFound:
      std::fprintf(stderr, "%s\n", tr("No place found"));
      return 1;
    case GeocodingAnswer::Status::unreadable:
      std::fprintf(stderr, tr("Cannot search now: %s\n"), tr(answer.reason.c_str()));
      return 1;
  }
  return 1;
}

// The settings view alone, for text-bar users: an ordinary window, status 0 once it closed.
int runSettings(int& argc, char**& argv) {
  const std::unique_ptr<DesktopFrontEnd> desktop = loadDesktop(argc, argv);
  if (!desktop) {
    std::fputs(tr("stratovane: --settings needs a graphical session, and none is available\n"),
               stderr);
    return 2;
  }
  FileUserDefaults defaults(FileUserDefaults::defaultPath());
  // The view shows what the panel item would use, fallbacks included.
  const std::vector<std::pair<std::string, std::string>> fallbacks(registeredDefaults.begin(),
                                                                   registeredDefaults.end());
  defaults.registerDefaults(fallbacks);
  NotificationCenter notificationCenter;
  XdgAutostart autostart(XdgAutostart::defaultPath());
  GLibRunLoop runLoop;
  GLibMainQueue mainQueue;
  ThreadPoolQueue backgroundQueue;
  CurlHttpLoader loader;
  const auto view =
      presentSettingsView({defaults, notificationCenter, desktop->workspace(),
                           desktop->interfaceLoader(), desktop->viewPresenter(), &autostart,
                           PlaceSearchServices{loader, backgroundQueue, mainQueue, runLoop,
                                               geocodingEndpoint(), &desktop->locationService()}},
                          PresentationStyle::window, [] {
                            // Runs before the settings are stored; the exit waits for the loop's
                            // next turn.
                            g_idle_add([](gpointer) -> gboolean { exitNow(0); }, nullptr);
                          });
  if (!view) return 1;
  // SIGUSR1 has nothing to fetch here; SIGINT and SIGTERM end the program as elsewhere.
  ProcessSignals signals([] {}, [] { exitNow(0); });
  desktop->run();
  return 0;
}

std::optional<std::string> weatherEndpoint() {
  const char* endpoint = std::getenv("STRATOVANE_WEATHER_URL");
  if (endpoint == nullptr || *endpoint == '\0') return std::nullopt;
  return endpoint;
}

std::string updateServerURL() {
  const char* server = std::getenv("STRATOVANE_UPDATE_URL");
  return server != nullptr && *server != '\0' ? server : STRATOVANE_UPDATE_URL;
}

// `--check-update`: one check, then the process ends.
[[noreturn]] void checkForUpdate(int& argc, char**& argv) {
  const std::unique_ptr<DesktopFrontEnd> desktop = loadDesktop(argc, argv);
  GLibRunLoop runLoop;
  GLibMainQueue mainQueue;
  ThreadPoolQueue backgroundQueue;
  CurlHttpLoader loader;
  KernelReachability routes;
  InternetReachability::shared().setService(&routes);
  const std::string server = updateServerURL();
  std::unique_ptr<UpdatePresenter> report;
  if (desktop) {
    report =
        std::make_unique<WindowedUpdateReport>(desktop->interfaceLoader(), desktop->workspace(),
                                               server + kArchivePath, runLoop, stderr, exitNow);
  } else {
    report = std::make_unique<TextUpdateReport>(stdout, stderr, exitNow);
  }
  UpdateCheck check(UpdateEnvironment{.reachability = InternetReachability::shared(),
                                      .loader = loader,
                                      .mainQueue = mainQueue,
                                      .backgroundQueue = backgroundQueue,
                                      .readRTF = readRTF,
                                      .runningVersion = STRATOVANE_VERSION,
                                      .serverURL = server,
                                      .contact = STRATOVANE_CONTACT},
                    *report);
  // SIGUSR1 has nothing to fetch here; SIGINT and SIGTERM end a check that waits on its server.
  ProcessSignals signals([] {}, [] { exitNow(0); });
  check.run();
  runMainLoop(desktop.get());
  exitNow(1);
}

}  // namespace

int main(int argc, char** argv) {
  // The `stratovane` command starts the program with these signals held already; this covers
  // a start of the program itself.
  ProcessSignals::holdUntilReady();
  MessageCatalogues::use();
  FrontEnd frontEnd = FrontEnd::automatic;
  std::string placeText;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--help" || argument == "-h") {
      std::fputs(usage().c_str(), stdout);
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
    } else if (argument == "--check-update") {
      frontEnd = FrontEnd::checkUpdate;
    } else if (argument == "--find-place") {
      if (i + 1 >= argc) {
        std::fputs(tr("stratovane: --find-place needs a text\n"), stderr);
        std::fputs(usage().c_str(), stderr);
        return 2;
      }
      frontEnd = FrontEnd::findPlace;
      placeText = argv[++i];
    } else {
      std::fprintf(stderr, tr("stratovane: unknown option %s\n"), argv[i]);
      std::fputs(usage().c_str(), stderr);
      return 2;
    }
  }

  if (frontEnd == FrontEnd::findPlace) return findPlace(placeText);
  if (frontEnd == FrontEnd::settings) return runSettings(argc, argv);
  if (frontEnd == FrontEnd::checkUpdate) checkForUpdate(argc, argv);

  std::unique_ptr<DesktopFrontEnd> tray;
  // Answers a later start in this session, once the controller exists.
  std::function<void()> activation;
  if (frontEnd == FrontEnd::automatic) {
    // The panel item on D-Bus, the toolkit with its first window; without a session bus only an
    // XEmbed tray can show the item, through the toolkit.
    if (displayNamed()) tray = DesktopModuleLoader::loadPanel(argc, argv);
    if (!tray) tray = loadDesktop(argc, argv);
    // Bars never take part: several of them on several screens are normal.
    if (tray && tray->claimSession([&] {
          if (activation) activation();
        }) == DesktopFrontEnd::SessionRole::second) {
      std::fputs(tr("stratovane: already running in this session; showing its settings\n"), stderr);
      exitNow(0);
    }
    if (!tray) {
      std::fputs(tr("stratovane: no graphical session; writing titles to standard output\n"),
                 stderr);
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
  NoWorkspace noBrowser;
  XdgAutostart autostart(XdgAutostart::defaultPath());
  XdgCacheFiles cacheFiles(XdgCacheFiles::defaultFolder());

  std::unique_ptr<LineOutput> lineOutput;
  std::shared_ptr<LineStatusItem> lineItem;
  if (!tray) {
    // A bar that has gone away ends the program: it would fetch on with the user's key.
    lineOutput = std::make_unique<LineOutput>(STDOUT_FILENO, [] { exitNow(0); });
    lineItem = std::make_shared<LineStatusItem>(
        frontEnd == FrontEnd::waybar ? LineFormat::waybar : LineFormat::plain, mainQueue,
        [&](const std::string& line) { lineOutput->writeLine(line); });
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
      .workspace = tray ? tray->workspace() : static_cast<Workspace&>(noBrowser),
      .readRTF = readRTF,
      .updateServerURL = updateServerURL(),
      .viewPresenter = tray ? &tray->viewPresenter() : nullptr,
      .autostart = &autostart,
      .geocodingEndpoint = geocodingEndpoint(),
      .locationService = tray ? &tray->locationService() : nullptr,
      .cacheFiles = &cacheFiles,
      .largestAnswer = CurlHttpLoader::kDefaultMaximumBodySize,
      // Alerts are the panel item's to notify: several bars may show the same weather.
      .notifier = tray ? tray->notifier() : nullptr,
  });
  if (lineItem) {
    lineItem->setForecastText([&] { return appDelegate.dailyForcast(); });
    lineItem->setAlertInForce([&] { return appDelegate.alertInForce(); });
    lineItem->setDataCredit([&] { return appDelegate.dataCredit(); });
  }
  // A second start in this session, from the application menu say, asks for the settings.
  activation = [&] { appDelegate.showSettings(); };

  ProcessSignals signals([&] { appDelegate.updateMenu(); }, [] { exitNow(0); });

  // A change saved by another process acts like this instance's own settings view closing.
  InotifyFileWatch settingsWatch;
  settingsWatch.watch(defaults.file(), [&] {
    if (defaults.reloadStoredValues()) notificationCenter.post(SettingsChanged);
  });
  // Catches a writer that finished between the first read and the start of the watch.
  defaults.reloadStoredValues();
  if (const WeatherQuery query = weatherQueryFor(weatherEndpoint(), defaults);
      lineItem && !query.openMeteo() && query.apiKey.empty()) {
    std::fputs(tr("stratovane: no API key; Open-Meteo needs none: set "
                  "weatherEndpoint=https://api.open-meteo.com/v1/forecast in the settings file, or "
                  "choose it with stratovane --settings\n"),
               stderr);
  }

  appDelegate.applicationDidFinishLaunching();
  backgroundQueue.resume();
  // Back at once when the network comes up or the machine wakes: timers do not count in sleep.
  RouteMonitor routeMonitor([] { return InternetReachability::shared().isConnectedToNetwork(); },
                            [&] { appDelegate.networkBecameReachable(); });
  if (tray) tray->watchSleep([&] { appDelegate.systemDidWake(); });

  runMainLoop(tray.get());
  exitNow(0);
}
