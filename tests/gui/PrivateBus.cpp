// A D-Bus daemon of the test's own that activates no services, so only the test answers on it.
#include "PrivateBus.h"

#include <stdlib.h>

#include <giomm/init.h>

#include <fstream>
#include <stdexcept>

namespace stratovane::testing {

PrivateBus::PrivateBus() {
  Gio::init();  // may come before anything else of gtkmm in a test
  std::string pattern = (std::filesystem::temp_directory_path() / "stratovane-bus-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  folder_ = pattern;
  std::ofstream(folder_ / "bus.conf") << "<busconfig>\n"
                                         "  <type>session</type>\n"
                                         "  <listen>unix:dir="
                                      << folder_.string()
                                      << "</listen>\n"
                                         "  <policy context=\"default\">\n"
                                         "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                                         "    <allow eavesdrop=\"true\"/>\n"
                                         "    <allow own=\"*\"/>\n"
                                         "  </policy>\n"
                                         "</busconfig>\n";
  daemon_ = std::make_unique<ChildProcess>(
      std::vector<std::string>{"dbus-daemon", "--nofork", "--print-address=1",
                               "--config-file=" + (folder_ / "bus.conf").string()},
      std::map<std::string, std::string>{});
  const std::optional<std::string> address = daemon_->readLine(std::chrono::seconds(10));
  if (!address) throw std::runtime_error("dbus-daemon did not start: " + daemon_->readErrors());
  address_ = *address;
  connection_ = Gio::DBus::Connection::create_for_address_sync(
      address_, Gio::DBus::CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                    Gio::DBus::CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION);
}

PrivateBus::~PrivateBus() {
  try {
    connection_->close_sync();
  } catch (const Glib::Error&) {
  }
  connection_.reset();
  daemon_.reset();  // ends and reaps the daemon
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void ownName(const Glib::RefPtr<Gio::DBus::Connection>& bus, const std::string& name) {
  Glib::Variant<guint32> reply;
  bus->call_sync(
         "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
         Glib::VariantContainerBase::create_tuple(
             {Glib::Variant<Glib::ustring>::create(name), Glib::Variant<guint32>::create(4)}),
         "org.freedesktop.DBus")
      .get_child(reply, 0);
  if (reply.get() != 1) throw std::runtime_error(name + " is taken");
}

}  // namespace stratovane::testing
