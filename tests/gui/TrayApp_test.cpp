// The built binary in a graphical session: its panel item read and clicked over D-Bus like a panel,
// the settings window alone for text-bar users, and the installed layout.
#include <httplib.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "FakeNotificationServer.h"
#include "GuiTest.h"
#include "PrivateBus.h"
#include "platform/system/PanelHostProbe.h"
#include "support/ChildProcess.h"
#include "support/ConfigDir.h"
#include "support/HttpTestServer.h"
#include "support/TempDir.h"

namespace stratovane {
namespace {

using testing::ChildProcess;
using testing::FakeNotificationServer;
using testing::FakePanelHost;
using testing::HttpTestServer;
using testing::mappedWindowsTitled;
using testing::PrivateBus;
using testing::readFile;

// Libraries that only windows need; the panel item maps none of them until one is asked for.
constexpr const char* kWindowLibraries[] = {
    "libgtk-3", "libgdk-3",      "libpangocairo",      "osmgpsmap",     "libsoup",
    "ayatana",  "libfontconfig", "stratovane-desktop", "stratovane-map"};

std::string windowLibraryIn(pid_t pid) {
  const std::string maps = readFile("/proc/" + std::to_string(pid) + "/maps");
  for (const char* library : kWindowLibraries) {
    if (maps.find(library) != std::string::npos) return library;
  }
  return maps.empty() ? "(no maps)" : "";
}

long residentKiB(pid_t pid) {
  const std::string status = readFile("/proc/" + std::to_string(pid) + "/status");
  const auto at = status.find("VmRSS:");
  return at == std::string::npos ? -1 : std::stol(status.substr(at + 6));
}

const std::string kNoKey = "\u26A0\uFE0F No API key";
const std::string kOffline = "\u26A0\uFE0F Offline";
const std::string kUseOpenMeteo = "Use Open-Meteo (no key needed)";
constexpr const char* kSettings = "Stratovane Settings";

class TrayAppTest : public testing::GuiTest {
 protected:
  // The binary with `arguments`, on a private session bus and configuration, in the C locale and
  // UTC, its map cache in the configuration's folder; `extra` adds to or overrides the environment
  // (an empty value unsets).
  std::unique_ptr<ChildProcess> start(const std::vector<std::string>& arguments = {},
                                      std::map<std::string, std::string> extra = {},
                                      const std::string& binary = STRATOVANE_BINARY) const {
    std::vector<std::string> argv{binary};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    extra.insert({{"DBUS_SESSION_BUS_ADDRESS", bus.address()},
                  {"XDG_CONFIG_HOME", config.path.string()},
                  {"XDG_CACHE_HOME", config.path.string()},
                  {"NO_AT_BRIDGE", "1"},
                  {"GTK_A11Y", "none"},
                  {"LC_ALL", "C"},
                  {"TZ", "UTC"}});
    return std::make_unique<ChildProcess>(argv, extra);
  }
  // The test's own process owns the fake watcher: a host of unknown kind, drawn as icon-only.
  static void expectIconOnlyLook(const FakePanelHost& host) {
    std::optional<std::string> title;
    EXPECT_TRUE(waitUntil([&] {
      title = host.property("Title");
      return title == kNoKey || title == kOffline;
    })) << title.value_or("(none)");
    EXPECT_TRUE(host.property("IconName")
                    .value_or("")
                    .ends_with("/stratovane/icons/stratovane-emoji-26a0-fe0f.png"));
    EXPECT_EQ(host.property("XAyatanaLabel"), title->substr(title->find(' ') + 1));
  }
  static void escapeSettings() {
    ASSERT_TRUE(testing::typeKeyInto(kSettings, "Escape"));
    ASSERT_TRUE(waitUntil([] { return mappedWindowsTitled(kSettings) == 0; }));
  }
  std::string settingsFile() const { return readFile(config.path / "stratovane" / "settings.ini"); }

  PrivateBus bus;
  testing::ConfigDir config;
};

TEST_F(TrayAppTest, ThePanelShowsTheItemAndItsMenuOneSettingsViewAtATimeAndQuitEndsIt) {
  FakePanelHost host(bus.connection());
  // Freed memory goes back at once, sanitized or not.
  const auto app = start({}, {{"ASAN_OPTIONS", "quarantine_size_mb=0"}});
  const auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(waitUntil([&] { return host.hasItem(); }, std::chrono::seconds(20)))
      << app->readErrors();
  expectIconOnlyLook(host);
  std::vector<std::string> menu;
  EXPECT_TRUE(waitUntil([&] { return !(menu = host.menu()).empty(); }));
  std::vector<std::string> expected{
      "---", "Update forecast", "---", "Settings", "Check for update...", "---", "Quit"};
  // Without a key, and with a route to ask on, the first entry offers the service that needs none.
  const bool offered = host.property("Title") == kNoKey;
  if (offered) expected.insert(expected.begin(), kUseOpenMeteo);
  EXPECT_EQ(menu, expected);

  EXPECT_EQ(windowLibraryIn(app->pid()), "") << "before any window";

  // A second panel item ends with status 0, and the first shows its settings; "Settings" from the
  // menu then brings the same view forward.
  ASSERT_EQ(mappedWindowsTitled(kSettings), 0);
  EXPECT_EQ(start()->wait(), 0);
  EXPECT_TRUE(waitUntil([] { return mappedWindowsTitled(kSettings) == 1; }));
  EXPECT_EQ(windowLibraryIn(app->pid()), "libgtk-3");
  ASSERT_TRUE(host.click("Settings"));
  spin(std::chrono::milliseconds(500));
  EXPECT_EQ(mappedWindowsTitled(kSettings), 1);
  escapeSettings();
  ASSERT_TRUE(waitUntil([&] { return settingsFile().find("mapType=0") != std::string::npos; }));
  // Bars never take part: this one runs on beside the panel item.
  const std::unique_ptr<ChildProcess> bar = start({"--line"});
  EXPECT_TRUE(bar->readLine()) << bar->readErrors();

  spin(std::chrono::seconds(1));
  const long before = residentKiB(app->pid());
  for (int i = 0; i < 10 && !HasFatalFailure(); ++i) {
    ASSERT_TRUE(host.click("Settings"));
    ASSERT_TRUE(waitUntil([] { return mappedWindowsTitled(kSettings) == 1; }));
    escapeSettings();
  }
  spin(std::chrono::seconds(1));
  // A leaked window with its map would cost megabytes each time.
  EXPECT_LT(residentKiB(app->pid()) - before, 8 * 1024);

  // A host is present: past the time the hint would come, none has come. The settings view's
  // style is installed once the toolkit is up, without a critical warning.
  const auto late = started + std::chrono::seconds(5);
  waitUntil([&] { return std::chrono::steady_clock::now() > late; });
  const std::string errors = app->readErrors();
  EXPECT_EQ(errors.find(PanelHostProbe::kHint), std::string::npos) << errors;
  EXPECT_EQ(errors.find("CRITICAL"), std::string::npos) << errors;

  // One click stores Open-Meteo and asks it at once (here without network: a failed call).
  if (offered) {
    ASSERT_TRUE(host.click(kUseOpenMeteo));
    EXPECT_TRUE(waitUntil([&] {
      return settingsFile().find("weatherEndpoint=https://api.open-meteo.com/v1/forecast\n") !=
                 std::string::npos &&
             host.property("Title") != kNoKey && host.menu().front() != kUseOpenMeteo;
    })) << settingsFile();
  }
  ASSERT_TRUE(host.click("Quit"));
  EXPECT_EQ(app->wait(), 0) << app->readErrors();
}

// What a panel reads over D-Bus in German: the title without a key or offline, and the menu.
TEST_F(TrayAppTest, TheTitleAndTheMenuSpeakTheLanguageOfTheLocale) {
  FakePanelHost host(bus.connection());
  const auto app = start({}, {{"LC_ALL", "C.UTF-8"}, {"LANGUAGE", "de"}});
  ASSERT_TRUE(waitUntil([&] { return host.hasItem(); }, std::chrono::seconds(20)))
      << app->readErrors();
  std::optional<std::string> title;
  EXPECT_TRUE(waitUntil([&] {
    title = host.property("Title");
    return title == "\u26A0\uFE0F Kein API-Schlüssel" || title == kOffline;
  })) << title.value_or("(none)");
  std::vector<std::string> wanted{"---",           "Vorhersage aktualisieren",       "---",
                                  "Einstellungen", "Nach Aktualisierungen suchen …", "---",
                                  "Beenden"};
  if (title != kOffline) wanted.insert(wanted.begin(), "Open-Meteo verwenden (ohne Schlüssel)");
  std::vector<std::string> menu;
  EXPECT_TRUE(waitUntil([&] { return (menu = host.menu()) == wanted; }))
      << ::testing::PrintToString(menu);
  ASSERT_TRUE(host.click("Beenden"));
  EXPECT_EQ(app->wait(), 0) << app->readErrors();
}

// A fake logind on a "system bus" of the test's own: the end of a sleep brings a fetch at once.
TEST_F(TrayAppTest, UpdateForecastAndWakingFetchAgainWhileTheUpdateServerIsSilent) {
  if (!testing::hostHasDefaultRoute()) GTEST_SKIP() << "this machine has no default route";
  std::atomic<int> fetches = 0;
  const HttpTestServer weather([&](httplib::Server& routes) {
    routes.Get("/onecall", [&](const httplib::Request&, httplib::Response& response) {
      ++fetches;
      response.set_content(testing::lightRainAnswer, "application/json");
    });
  });
  HttpTestServer updates(HttpTestServer::Misbehaviour::silent);
  PrivateBus system;
  testing::ownName(system.connection(), "org.freedesktop.login1");
  const auto prepareForSleep = [&](bool sleeping) {
    system.connection()->emit_signal(
        "/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep", "",
        Glib::VariantContainerBase::create_tuple(Glib::Variant<bool>::create(sleeping)));
    system.connection()->flush_sync();
  };
  config.write("apiKey=k1\nstatusBarOption=4\n");
  FakePanelHost host(bus.connection());
  const std::unique_ptr<ChildProcess> app =
      start({}, {{"STRATOVANE_WEATHER_URL", weather.url("/onecall")},
                 {"STRATOVANE_UPDATE_URL", updates.url("")},
                 {"DBUS_SYSTEM_BUS_ADDRESS", system.address()}});
  ASSERT_TRUE(waitUntil([&] { return host.hasItem(); }, std::chrono::seconds(20)));
  std::optional<std::string> label;
  EXPECT_TRUE(waitUntil([&] {
    label = host.property("XAyatanaLabel");
    return label && label->find("light rain") != std::string::npos;
  })) << label.value_or("(none)");
  EXPECT_EQ(fetches, 1);

  ASSERT_TRUE(waitUntil([&] { return host.click("Check for update..."); }));
  ASSERT_TRUE(waitUntil([&] { return updates.requests() == 1; }));
  // The menu is read and clicked over D-Bus, so a blocked main loop shows as a late answer.
  ASSERT_TRUE(host.click("Update forecast"));
  EXPECT_TRUE(waitUntil([&] { return fetches == 2; }, std::chrono::seconds(1)))
      << "the panel item froze while the update server was silent";

  prepareForSleep(true);
  spin(std::chrono::milliseconds(300));
  EXPECT_EQ(fetches, 2) << "going to sleep is no reason to fetch";
  EXPECT_TRUE(waitUntil([&] {
    prepareForSleep(false);
    spin(std::chrono::milliseconds(300));
    return fetches >= 3;
  }));
  app->signal(SIGTERM);
  EXPECT_EQ(app->wait(), 0);
}

TEST_F(TrayAppTest, WithoutAPanelHostItSaysSoOnceAndShowsTheItemWhenAHostComes) {
  FakeNotificationServer notifications(bus.connection());
  const std::unique_ptr<ChildProcess> app = start();
  std::string errors;
  EXPECT_TRUE(waitUntil([&] {
    errors = app->readErrors(std::chrono::milliseconds(50));
    return errors.find(PanelHostProbe::kHint) != std::string::npos;
  })) << errors;
  spin(std::chrono::seconds(2));
  errors = app->readErrors();
  const auto first = errors.find(PanelHostProbe::kHint);
  EXPECT_EQ(errors.find(PanelHostProbe::kHint, first + 1), std::string::npos) << errors;
  EXPECT_EQ(app->wait(std::chrono::milliseconds(100)), std::nullopt) << "the application ended";
  const std::vector<std::string> notice{std::string(PanelHostProbe::kNoticeSummary) + "\n" +
                                        PanelHostProbe::kNoticeBody};
  EXPECT_EQ(notifications.received(), notice);

  // The extension is enabled later: the item comes up without a restart.
  FakePanelHost host(bus.connection());
  ASSERT_TRUE(waitUntil([&] { return host.hasItem(); }, std::chrono::seconds(20)))
      << app->readErrors();
  expectIconOnlyLook(host);
  spin(std::chrono::seconds(1));
  EXPECT_EQ(notifications.received(), notice);
  app->signal(SIGTERM);
  EXPECT_EQ(app->wait(), 0);
}

// An XEmbed-only tray: no watcher appears, so the toolkit's item, which such a tray can show,
// takes over; a watcher that comes later gets that item alone.
TEST_F(TrayAppTest, WithOnlyAnXEmbedTrayTheToolkitsItemTakesOver) {
  testing::FakeXEmbedTray tray;
  const std::unique_ptr<ChildProcess> app = start();
  EXPECT_TRUE(waitUntil([&] { return windowLibraryIn(app->pid()) == "libgtk-3"; }))
      << app->readErrors();
  spin(std::chrono::milliseconds(500));
  EXPECT_EQ(app->readErrors().find(PanelHostProbe::kHint), std::string::npos) << app->readErrors();
  FakePanelHost host(bus.connection());
  ASSERT_TRUE(waitUntil([&] { return host.hasItem(); }, std::chrono::seconds(20)))
      << app->readErrors();
  expectIconOnlyLook(host);
  spin(std::chrono::milliseconds(500));
  EXPECT_EQ(host.registrations(), 1);
  app->signal(SIGTERM);
  EXPECT_EQ(app->wait(), 0);
}

// `stratovane --settings`, for text-bar users.
TEST_F(TrayAppTest, SettingsAloneStoreOnEscapeAndEndWithStatusZeroOrTwoWithoutADisplay) {
  const auto headless = start({"--settings"}, {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}});
  EXPECT_EQ(headless->wait(), 2);
  EXPECT_NE(headless->readErrors().find("graphical session"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(config.path / "stratovane" / "settings.ini"));

  config.write("interval=10\nweatherEndpoint=https://proxy.test/onecall\n");
  const auto app = start({"--settings"});
  ASSERT_TRUE(waitUntil([] { return testing::showsAnIcon(kSettings); }, std::chrono::seconds(30)))
      << "no window or no icon\n"
      << app->readErrors();
  ASSERT_TRUE(
      waitUntil([] { return testing::typeKeyInto(kSettings, "Escape"); }, std::chrono::seconds(30)))
      << app->readErrors();
  EXPECT_EQ(app->wait(), 0) << app->readErrors();
  const std::string stored = settingsFile();
  for (const char* line :
       {"latitude=59.4040015148249", "longitude=17.994089135126462",
        "apiKey=", "statusBarOption=-1", "units=0", "interval=10", "language=2", "decimals=0",
        "mapType=0", "weatherEndpoint=https://proxy.test/onecall"}) {
    EXPECT_NE(stored.find(std::string(line) + "\n"), std::string::npos) << line << "\n" << stored;
  }
}

// The installed binary finds its graphical module in the package's private folder when a window
// is asked for. Without the module it says so in one line each time and the panel item goes on.
TEST_F(TrayAppTest, InstalledBinaryLoadsTheInstalledModuleWithAWindowAndRetriesAfterAFailure) {
  testing::TempDir root;
  const std::string install = "DESTDIR='" + root.path().string() + "' cmake --install '" +
                              STRATOVANE_BUILD_DIR + "' >/dev/null";
  ASSERT_EQ(std::system(install.c_str()), 0);
  std::filesystem::path binary, module;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root.path())) {
    if (entry.path().filename() == "stratovane" && entry.path().parent_path().filename() == "bin")
      binary = entry.path();
    if (entry.path().filename() == "stratovane-desktop.so") module = entry.path();
  }
  ASSERT_FALSE(binary.empty());
  ASSERT_EQ(module.parent_path().filename(), "stratovane");
  EXPECT_TRUE(std::filesystem::exists(module.parent_path() / "stratovane-emoji"));
  EXPECT_TRUE(std::filesystem::exists(module.parent_path() / "stratovane-panel.so"));
  const std::filesystem::path aside = module.string() + ".aside";
  std::filesystem::rename(module, aside);

  FakePanelHost host(bus.connection());
  const auto app = start({}, {}, binary.string());
  ASSERT_TRUE(waitUntil([&] { return host.hasItem(); }, std::chrono::seconds(20)))
      << app->readErrors();
  // The emoji icon is drawn by the installed helper.
  expectIconOnlyLook(host);
  ASSERT_TRUE(waitUntil([&] { return host.click("Settings"); }));
  std::string errors;
  EXPECT_TRUE(waitUntil([&] {
    errors = app->readErrors(std::chrono::milliseconds(50));
    return errors.find("stratovane-desktop.so is not installed") != std::string::npos;
  })) << errors;
  ASSERT_TRUE(host.click("Settings"));
  spin(std::chrono::seconds(1));
  errors = app->readErrors();
  std::size_t lines = 0;
  for (auto at = errors.find("is not installed"); at != std::string::npos;
       at = errors.find("is not installed", at + 1))
    ++lines;
  EXPECT_EQ(lines, 2u) << errors;
  EXPECT_EQ(windowLibraryIn(app->pid()), "");

  std::filesystem::rename(aside, module);
  ASSERT_TRUE(host.click("Settings"));
  std::string maps;
  EXPECT_TRUE(waitUntil([&] {
    maps = readFile("/proc/" + std::to_string(app->pid()) + "/maps");
    return maps.find(module.string()) != std::string::npos &&
           maps.find("libgtk-3") != std::string::npos &&
           maps.find((module.parent_path() / "stratovane-map.so").string()) != std::string::npos;
  })) << app->readErrors();
  ASSERT_TRUE(waitUntil([] { return mappedWindowsTitled(kSettings) == 1; }));
  escapeSettings();
  ASSERT_TRUE(host.click("Quit"));
  EXPECT_EQ(app->wait(), 0) << app->readErrors();
}

}  // namespace
}  // namespace stratovane
