#!/usr/bin/python3
"""A panel for bench/frontends.py: owns org.kde.StatusNotifierWatcher on the session bus, prints
"ready", then "label T" (CLOCK_MONOTONIC seconds) when the registered item's label is first
non-empty. Reads commands from standard input: "click TEXT" sends a click on the first enabled
menu entry whose label starts with TEXT ("" for the first entry) and prints "clicked T", or
"missing" when there is none. Needs python3-gi (the system python)."""
import sys
import time

from gi.repository import Gio, GLib

WATCHER = """<node><interface name="org.kde.StatusNotifierWatcher">
<method name="RegisterStatusNotifierItem"><arg type="s" direction="in"/></method>
<method name="RegisterStatusNotifierHost"><arg type="s" direction="in"/></method>
<property name="RegisteredStatusNotifierItems" type="as" access="read"/>
<property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
<property name="ProtocolVersion" type="i" access="read"/>
</interface></node>"""

bus = Gio.bus_get_sync(Gio.BusType.SESSION)
item = {}
labelled = False


def say(text):
    print(text, flush=True)


def got_label(label):
    global labelled
    if label and not labelled:
        labelled = True
        say(f"label {time.monotonic():.6f}")


def on_label_signal(_bus, _sender, _path, _iface, _signal, parameters):
    got_label(parameters.unpack()[0])


def on_get(source, result):
    try:
        got_label(source.call_finish(result).unpack()[0])
    except GLib.Error:
        pass


def on_call(_bus, sender, _path, _iface, method, parameters, invocation):
    if method == "RegisterStatusNotifierItem":
        name = parameters.unpack()[0]
        item["bus"], item["path"] = (sender, name) if name.startswith("/") else (name, "/StatusNotifierItem")
        bus.signal_subscribe(item["bus"], "org.kde.StatusNotifierItem", "XAyatanaNewLabel",
                             item["path"], None, Gio.DBusSignalFlags.NONE, on_label_signal)
        bus.call(item["bus"], item["path"], "org.freedesktop.DBus.Properties", "Get",
                 GLib.Variant("(ss)", ("org.kde.StatusNotifierItem", "XAyatanaLabel")),
                 GLib.VariantType("(v)"), Gio.DBusCallFlags.NONE, -1, None, on_get)
    invocation.return_value(None)


def on_property(_bus, _sender, _path, _iface, name):
    if name == "IsStatusNotifierHostRegistered":
        return GLib.Variant("b", True)
    if name == "ProtocolVersion":
        return GLib.Variant("i", 0)
    return GLib.Variant("as", [])


def click(prefix):
    if not item:
        return say("missing")
    menu = bus.call_sync(item["bus"], item["path"], "org.freedesktop.DBus.Properties", "Get",
                         GLib.Variant("(ss)", ("org.kde.StatusNotifierItem", "Menu")), None,
                         Gio.DBusCallFlags.NONE, 5000, None).unpack()[0]
    layout = bus.call_sync(item["bus"], menu, "com.canonical.dbusmenu", "GetLayout",
                           GLib.Variant("(iias)", (0, 1, [])), None, Gio.DBusCallFlags.NONE, 5000,
                           None).unpack()[1]
    for child in layout[2]:
        ident, props, _ = child
        if props.get("type") == "separator" or not props.get("enabled", True):
            continue
        if props.get("label", "").replace("__", "_").startswith(prefix):
            bus.call_sync(item["bus"], menu, "com.canonical.dbusmenu", "Event",
                          GLib.Variant("(isvu)", (ident, "clicked", GLib.Variant("i", 0), 0)),
                          None, Gio.DBusCallFlags.NONE, 5000, None)
            return say(f"clicked {time.monotonic():.6f}")
    say("missing")


def on_input(channel, _condition):
    line = channel.readline()
    if not line:
        loop.quit()
        return False
    command, _, argument = line.rstrip("\n").partition(" ")
    if command == "click":
        try:
            click(argument)
        except GLib.Error as error:
            say(f"missing {error.message}")
    return True


node = Gio.DBusNodeInfo.new_for_xml(WATCHER)
bus.register_object("/StatusNotifierWatcher", node.interfaces[0], on_call, on_property, None)
owned = bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                      "RequestName", GLib.Variant("(su)", ("org.kde.StatusNotifierWatcher", 4)),
                      None, Gio.DBusCallFlags.NONE, 5000, None).unpack()[0]
say("ready" if owned == 1 else "taken")
loop = GLib.MainLoop()
GLib.io_add_watch(GLib.IOChannel.unix_new(sys.stdin.fileno()), GLib.PRIORITY_DEFAULT, GLib.IO_IN | GLib.IO_HUP, on_input)
loop.run()
