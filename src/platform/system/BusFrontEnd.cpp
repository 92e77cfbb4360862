// The panel item's front-end without a toolkit: the item and its menu on D-Bus, windows through
// the toolkit's module once the first one opens.
#include "platform/system/BusFrontEnd.h"

#include <cstdio>
#include <utility>

#include "platform/system/BlankIcon.h"
#include "platform/system/NotifierStatusItem.h"

namespace stratovane {

std::unique_ptr<BusFrontEnd> BusFrontEnd::create(ToolkitOnDemand::Load loadToolkit) {
  GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
  if (bus == nullptr) return nullptr;
  auto frontEnd = std::make_unique<BusFrontEnd>(bus, std::move(loadToolkit));
  g_object_unref(bus);
  return frontEnd;
}

BusFrontEnd::BusFrontEnd(GDBusConnection* bus, ToolkitOnDemand::Load loadToolkit)
    : bus_(G_DBUS_CONNECTION(g_object_ref(bus))), toolkit_(std::move(loadToolkit)) {
  g_set_prgname("stratovane");
}

BusFrontEnd::~BusFrontEnd() {
  pendingProbe_.reset();
  probe_.reset();
  g_main_loop_unref(loop_);
  g_object_unref(bus_);
}

std::shared_ptr<StatusItem> BusFrontEnd::createStatusItem() {
  auto item = std::make_shared<NotifierStatusItem>(bus_, BlankIcon::install());
  item_ = item;
  if (!probe_) {
    probe_ = std::make_unique<PanelHostProbe>(bus_);
    pendingProbe_ = attachSource(
        g_timeout_source_new_seconds(kProbeDelaySeconds),
        [](gpointer self) -> gboolean {
          static_cast<BusFrontEnd*>(self)->probe();
          return G_SOURCE_REMOVE;
        },
        this);
  }
  return item;
}

void BusFrontEnd::probe() {
  probe_->check([this](bool watcher, bool xembedTray) {
    if (watcher) return;
    if (!xembedTray) return PanelHostProbe::sayNoHost(bus_);
    // The tray is drawn by the toolkit: its item takes over, and follows a watcher that comes
    // later itself.
    const auto item = item_.lock();
    DesktopFrontEnd* toolkit = item ? toolkit_.desktop() : nullptr;
    if (toolkit != nullptr) item->handOver(toolkit->createStatusItem());
  });
}

DesktopFrontEnd::SessionRole BusFrontEnd::claimSession(std::function<void()> activated) {
  session_ = std::make_unique<SessionInstance>(kApplicationId);
  session_->setActivation(std::move(activated));
  return session_->sessionRole();
}

void BusFrontEnd::watchSleep(std::function<void()> woke) {
  sleepMonitor_ = std::make_unique<SleepMonitor>(std::move(woke));
}

void BusFrontEnd::run() {
  g_main_loop_run(loop_);
}

void BusFrontEnd::quit() {
  g_main_loop_quit(loop_);
}

}  // namespace stratovane
