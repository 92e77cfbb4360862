// The built binary in a graphical session: its panel item read and clicked over D-Bus like a panel.
#include <httplib.h>
#include <signal.h>

#include <giomm/dbusintrospection.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <vector>

#include "FakePanelHost.h"
#include "GuiTest.h"
#include "PrivateBus.h"
#include "platform/gtk/PanelHostProbe.h"
#include "support/ChildProcess.h"
#include "support/ConfigDir.h"
#include "support/HttpTestServer.h"

namespace stratovane {
namespace {

using testing::ChildProcess;
using testing::ConfigDir;
using testing::FakePanelHost;
using testing::hostHasDefaultRoute;
using testing::PrivateBus;

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
    Glib::Variant<guint32> reply;
    bus_->call_sync("/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
                    Glib::VariantContainerBase::create_tuple(
                        {Glib::Variant<Glib::ustring>::create("org.freedesktop.Notifications"),
                         Glib::Variant<guint32>::create(4)}),
                    "org.freedesktop.DBus")
        .get_child(reply, 0);
    if (reply.get() != 1) throw std::runtime_error("the notification server's name is taken");
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

class TrayAppTest : public testing::GuiTest {
 protected:
  // Without an API key in the settings nothing is fetched.
  std::unique_ptr<ChildProcess> start(const std::string& endpoint = "") {
    return std::make_unique<ChildProcess>(
        std::vector<std::string>{STRATOVANE_BINARY},
        std::map<std::string, std::string>{{"DBUS_SESSION_BUS_ADDRESS", bus.address()},
                                           {"XDG_CONFIG_HOME", config.path.string()},
                                           {"STRATOVANE_WEATHER_URL", endpoint},
                                           {"NO_AT_BRIDGE", "1"},
                                           {"GTK_A11Y", "none"},
                                           {"LC_ALL", "C"},
                                           {"TZ", "UTC"}});
  }

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

  PrivateBus bus;
  ConfigDir config;
};

TEST_F(TrayAppTest, ThePanelShowsTheLabelAndTheCommandsAndQuitEndsWithStatusZero) {
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

  // A host is present: past the time the hint would come, none has come.
  spin(std::chrono::seconds(4));
  EXPECT_EQ(app->readErrors().find(gtk::PanelHostProbe::kHint), std::string::npos);

  ASSERT_TRUE(host.click("Quit"));
  EXPECT_EQ(app->wait(), 0) << app->readErrors();
}

TEST_F(TrayAppTest, UpdateForecastFetchesAgain) {
  if (!hostHasDefaultRoute()) GTEST_SKIP() << "this machine has no default route";
  std::atomic<int> requests = 0;
  testing::HttpTestServer server([&](httplib::Server& routes) {
    routes.Get("/onecall", [&](const httplib::Request&, httplib::Response& response) {
      ++requests;
      response.set_content(testing::lightRainAnswer, "application/json");
    });
  });
  config.write("apiKey=k1\nstatusBarOption=4\n");
  FakePanelHost host(bus.connection());
  const std::unique_ptr<ChildProcess> app = start(server.url("/onecall"));
  ASSERT_TRUE(waitUntil([&] { return host.hasItem(); }, std::chrono::seconds(20)));
  std::optional<std::string> label;
  EXPECT_TRUE(waitUntil([&] {
    label = host.label();
    return label && label->find("light rain") != std::string::npos;
  })) << label.value_or("(none)");
  EXPECT_EQ(requests, 1);

  EXPECT_TRUE(waitUntil([&] { return host.click("Update forecast"); }));
  EXPECT_TRUE(waitUntil([&] { return requests == 2; })) << requests;
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
