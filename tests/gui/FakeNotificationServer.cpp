// A notification server on a test's bus: records each notice, answers with its id and lets the
// test click one.
#include "FakeNotificationServer.h"

#include "PrivateBus.h"

namespace stratovane::testing {

FakeNotificationServer::FakeNotificationServer(const Glib::RefPtr<Gio::DBus::Connection>& bus)
    : bus_(bus) {
  // Answered from the filter, so no main loop needs to run for it.
  bus_->add_filter([this](const Glib::RefPtr<Gio::DBus::Connection>& connection,
                          const Glib::RefPtr<Gio::DBus::Message>& message, bool incoming) {
    if (!incoming || message->get_member() != "Notify") return message;
    Notice notice;
    GVariant* arguments = g_dbus_message_get_body(message->gobj());
    const gchar *summary = nullptr, *body = nullptr;
    GVariant* hints = nullptr;
    g_variant_get(arguments, "(&su&s&s&sas@a{sv}i)", nullptr, nullptr, nullptr, &summary, &body,
                  nullptr, &hints, nullptr);
    notice.summary = summary;
    notice.body = body;
    guchar urgency = 0;
    if (g_variant_lookup(hints, "urgency", "y", &urgency)) notice.urgency = urgency;
    g_variant_unref(hints);
    {
      const std::lock_guard lock(mutex_);
      notice.id = static_cast<std::uint32_t>(notices_.size() + 1);
      notices_.push_back(notice);
    }
    const auto reply = Gio::DBus::Message::create_method_reply(message);
    reply->set_body(
        Glib::VariantContainerBase::create_tuple(Glib::Variant<guint32>::create(notice.id)));
    connection->send_message(reply);
    return Glib::RefPtr<Gio::DBus::Message>();
  });
  ownName(bus_, "org.freedesktop.Notifications");
}

std::vector<FakeNotificationServer::Notice> FakeNotificationServer::notices() const {
  const std::lock_guard lock(mutex_);
  return notices_;
}

std::vector<std::string> FakeNotificationServer::received() const {
  std::vector<std::string> texts;
  for (const Notice& notice : notices()) texts.push_back(notice.summary + "\n" + notice.body);
  return texts;
}

void FakeNotificationServer::click(std::uint32_t id) const {
  bus_->emit_signal(
      "/org/freedesktop/Notifications", "org.freedesktop.Notifications", "ActionInvoked", "",
      Glib::VariantContainerBase::create_tuple(
          {Glib::Variant<guint32>::create(id), Glib::Variant<Glib::ustring>::create("default")}));
  bus_->flush_sync();
}

}  // namespace stratovane::testing
