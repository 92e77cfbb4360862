// The built binary in a graphical session: its panel item read and clicked over D-Bus like a panel.
#include <httplib.h>
#include <signal.h>

#include <giomm/dbusintrospection.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

#include "AppRun.h"
#include "FakePanelHost.h"
#include "XClient.h"
#include "platform/gtk/PanelHostProbe.h"

namespace stratovane {
namespace {

using testing::ChildProcess;
using testing::FakePanelHost;
using testing::hostHasDefaultRoute;
using testing::HttpTestServer;
using testing::PrivateBus;
using testing::WeatherServer;

// A desktop notification server on the bus that records the summary and body of each Notify.
class FakeNotificationServer {
 public:
  explicit FakeNotificationServer(const Glib::RefPtr<Gio::DBus::Connection>& bus) : bus_(bus) {
    const auto info = Gio::DBus::NodeInfo::create_for_xml(
        "<node><interface name='org.freedesktop.Notifications'><method name='Notify'>"
        "<arg type='s'/><arg type='u'/><arg type='s'/><arg type='s'/><arg type='s'/>"
        "<arg type='as'/><arg type='a{sv}'/><arg type='i'/><arg type='u' direction='out'/>"
        "</method></interface></node>");
    registration_ =
        bus_->register_object("/org/freedesktop/Notifications", info->lookup_interface(), vtable_);
    testing::ownName(bus_, "org.freedesktop.Notifications");
  }
  ~FakeNotificationServer() { bus_->unregister_object(registration_); }

  std::vector<std::string> notices;  // "summary\nbody"

 private:
  Glib::RefPtr<Gio::DBus::Connection> bus_;
  const Gio::DBus::InterfaceVTable vtable_{
      [this](const Glib::RefPtr<Gio::DBus::Connection>&, const Glib::ustring&, const Glib::ustring&,
             const Glib::ustring&, const Glib::ustring&,
             const Glib::VariantContainerBase& arguments,
             const Glib::RefPtr<Gio::DBus::MethodInvocation>& call) {
        Glib::Variant<Glib::ustring> summary, body;
        arguments.get_child(summary, 3);
        arguments.get_child(body, 4);
        notices.push_back(summary.get() + "\n" + body.get());
        call->return_value(Glib::VariantContainerBase::create_tuple(
            Glib::Variant<guint32>::create(static_cast<guint32>(notices.size()))));
      }};
  guint registration_ = 0;
};

const std::string kNoKey = "\u26A0\uFE0F No API key";
const std::string kOffline = "\u26A0\uFE0F Offline";
constexpr const char* kSettings = "Stratovane Settings";

class TrayAppTest : public testing::AppRunTest {
 protected:
  // The test's own process owns the fake watcher: a host of unknown kind, drawn as icon-only.
  static void expectIconOnlyLook(const FakePanelHost& host) {
    std::optional<std::string> title;
    EXPECT_TRUE(waitUntil([&] {
      title = host.stringProperty("Title");
      return title == kNoKey || title == kOffline;
    })) << title.value_or("(none)");
    EXPECT_TRUE(host.stringProperty("IconName")
                    .value_or("")
                    .ends_with("/stratovane/icons/stratovane-emoji-26a0-fe0f.png"));
    EXPECT_EQ(host.label(), title->substr(title->find(' ') + 1));
  }
};

TEST_F(TrayAppTest, ThePanelShowsTheLabelAndCommandsASecondStartItsSettingsAndQuitEndsIt) {
  FakePanelHost host(bus.connection());
  const std::unique_ptr<ChildProcess> app = start();
  ASSERT_TRUE(waitUntil([&] { return host.hasItem(); }, std::chrono::seconds(20)))
      << app->readErrors();
  expectIconOnlyLook(host);
  std::vector<std::string> menu;  // every entry enabled, separators as "---"
  EXPECT_TRUE(waitUntil([&] {
    menu.clear();
    for (const FakePanelHost::Entry& entry : host.menu())
      menu.push_back(entry.separator ? "---" : entry.enabled ? entry.label : "(off)" + entry.label);
    return !menu.empty();
  }));
  EXPECT_EQ(menu, (std::vector<std::string>{"---", "Update forecast", "---", "Settings",
                                            "Check for update...", "---", "Quit"}));

  // A second panel item ends with status 0, and the first shows its settings.
  ASSERT_EQ(testing::mappedWindowsTitled(kSettings), 0);
  EXPECT_EQ(start()->wait(), 0);
  EXPECT_TRUE(waitUntil([] { return testing::mappedWindowsTitled(kSettings) == 1; }));
  // Bars never take part: this one runs on beside the panel item.
  const std::unique_ptr<ChildProcess> bar = start({"--line"});
  EXPECT_TRUE(bar->readLine()) << bar->readErrors();

  // A host is present: past the time the hint would come, none has come. The settings view's
  // style is installed once the toolkit is up, without a critical warning.
  spin(std::chrono::seconds(4));
  const std::string errors = app->readErrors();
  EXPECT_EQ(errors.find(gtk::PanelHostProbe::kHint), std::string::npos) << errors;
  EXPECT_EQ(errors.find("CRITICAL"), std::string::npos) << errors;
  ASSERT_TRUE(host.click("Quit"));
  EXPECT_EQ(app->wait(), 0) << app->readErrors();
}

// A fake logind on a "system bus" of the test's own: the end of a sleep brings a fetch at once.
TEST_F(TrayAppTest, UpdateForecastAndWakingFetchAgainWhileTheUpdateServerIsSilent) {
  if (!hostHasDefaultRoute()) GTEST_SKIP() << "this machine has no default route";
  WeatherServer weather;
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
      start({}, {{"STRATOVANE_WEATHER_URL", weather.url()},
                 {"STRATOVANE_UPDATE_URL", updates.url("")},
                 {"DBUS_SYSTEM_BUS_ADDRESS", system.address()}});
  ASSERT_TRUE(waitUntil([&] { return host.hasItem(); }, std::chrono::seconds(20)));
  std::optional<std::string> label;
  EXPECT_TRUE(waitUntil([&] {
    label = host.label();
    return label && label->find("light rain") != std::string::npos;
  })) << label.value_or("(none)");
  EXPECT_EQ(weather.requests, 1);

  ASSERT_TRUE(waitUntil([&] { return host.click("Check for update..."); }));
  ASSERT_TRUE(waitUntil([&] { return updates.requests() == 1; }));
  // The menu is read and clicked over D-Bus, so a blocked main loop shows as a late answer.
  ASSERT_TRUE(host.click("Update forecast"));
  EXPECT_TRUE(waitUntil([&] { return weather.requests == 2; }, std::chrono::seconds(1)))
      << "the panel item froze while the update server was silent";

  prepareForSleep(true);
  spin(std::chrono::milliseconds(300));
  EXPECT_EQ(weather.requests, 2) << "going to sleep is no reason to fetch";
  EXPECT_TRUE(waitUntil([&] {
    prepareForSleep(false);
    spin(std::chrono::milliseconds(300));
    return weather.requests >= 3;
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
    return errors.find(gtk::PanelHostProbe::kHint) != std::string::npos;
  })) << errors;
  spin(std::chrono::seconds(2));
  errors = app->readErrors();
  const auto first = errors.find(gtk::PanelHostProbe::kHint);
  EXPECT_EQ(errors.find(gtk::PanelHostProbe::kHint, first + 1), std::string::npos) << errors;
  EXPECT_EQ(app->wait(std::chrono::milliseconds(100)), std::nullopt) << "the application ended";
  EXPECT_EQ(notifications.notices,
            std::vector<std::string>{std::string(gtk::PanelHostProbe::kNoticeSummary) + "\n" +
                                     gtk::PanelHostProbe::kNoticeBody});

  // The extension is enabled later: the item comes up without a restart.
  FakePanelHost host(bus.connection());
  ASSERT_TRUE(waitUntil([&] { return host.hasItem(); }, std::chrono::seconds(20)))
      << app->readErrors();
  expectIconOnlyLook(host);
  spin(std::chrono::seconds(1));
  EXPECT_EQ(notifications.notices.size(), 1u);
  app->signal(SIGTERM);
  EXPECT_EQ(app->wait(), 0);
}

}  // namespace
}  // namespace stratovane
