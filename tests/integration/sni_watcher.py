#!/usr/bin/python3
"""A minimal StatusNotifierWatcher with a host, for tests on a private session bus.

Owns org.kde.StatusNotifierWatcher, accepts item registrations and prints one line
per event, flushed: "registered <bus name> <path>" and "newicon <item bus name>" for
every NewIcon signal an item sends.
"""
import sys

from gi.repository import Gio, GLib

XML = """
<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
    <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
    <signal name="StatusNotifierHostRegistered"/>
  </interface>
</node>
"""

items = []


def say(line):
    print(line, flush=True)


def on_call(conn, sender, path, interface, method, args, invocation):
    if method == "RegisterStatusNotifierItem":
        service = args.unpack()[0]
        # Qt passes its unique bus name; the item lives at /StatusNotifierItem.
        name, item_path = (sender, service) if service.startswith("/") else (service, "/StatusNotifierItem")
        items.append(name + item_path)
        conn.signal_subscribe(name, "org.kde.StatusNotifierItem", "NewIcon", item_path, None,
                              Gio.DBusSignalFlags.NONE, lambda *a: say("newicon " + name), )
        conn.emit_signal(None, "/StatusNotifierWatcher", "org.kde.StatusNotifierWatcher",
                         "StatusNotifierItemRegistered", GLib.Variant("(s)", (name + item_path,)))
        say("registered %s %s" % (name, item_path))
    invocation.return_value(None)


def on_get(conn, sender, path, interface, prop):
    if prop == "RegisteredStatusNotifierItems":
        return GLib.Variant("as", items)
    if prop == "IsStatusNotifierHostRegistered":
        return GLib.Variant("b", True)
    if prop == "ProtocolVersion":
        return GLib.Variant("i", 0)
    return None


def on_bus(conn, name):
    info = Gio.DBusNodeInfo.new_for_xml(XML).interfaces[0]
    conn.register_object("/StatusNotifierWatcher", info, on_call, on_get, None)


def on_name(conn, name):
    say("watching")


def on_lost(conn, name):
    say("lost " + name)
    sys.exit(1)


Gio.bus_own_name(Gio.BusType.SESSION, "org.kde.StatusNotifierWatcher", Gio.BusNameOwnerFlags.NONE, on_bus, on_name,
                 on_lost)
GLib.MainLoop().run()
