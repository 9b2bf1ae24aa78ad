#!/usr/bin/python3
"""Desktop services of a test's own, on a private session bus. Each prints one line per
event, flushed.

bus_services.py watcher: a StatusNotifierWatcher with a host; accepts item registrations
  and prints "registered <bus name> <path>", and "newicon <item bus name>" for every
  NewIcon signal an item sends.
bus_services.py notify: a notification server; prints "notify <id> <replaces_id>
  <summary>|<body>|<action keys>" and "close <id>". Invoke(u id, s action) on
  org.example.NotifyTest emits ActionInvoked as a user's click on an action would.
Both print "serving" once they own their name.
"""
import sys

from gi.repository import Gio, GLib

WATCHER = """
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
NOTIFY = """
<node>
  <interface name="org.freedesktop.Notifications">
    <method name="GetCapabilities"><arg type="as" direction="out"/></method>
    <method name="Notify">
      <arg type="s" direction="in"/><arg type="u" direction="in"/><arg type="s" direction="in"/>
      <arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="as" direction="in"/>
      <arg type="a{sv}" direction="in"/><arg type="i" direction="in"/><arg type="u" direction="out"/>
    </method>
    <method name="CloseNotification"><arg type="u" direction="in"/></method>
    <signal name="NotificationClosed"><arg type="u"/><arg type="u"/></signal>
    <signal name="ActionInvoked"><arg type="u"/><arg type="s"/></signal>
  </interface>
  <interface name="org.example.NotifyTest">
    <method name="Invoke"><arg type="u" direction="in"/><arg type="s" direction="in"/></method>
  </interface>
</node>
"""
NOTIFY_PATH = "/org/freedesktop/Notifications"
items = []
last_id = 0


def say(line):
    print(line, flush=True)


def on_watcher_call(conn, sender, path, interface, method, args, invocation):
    if method == "RegisterStatusNotifierItem":
        service = args.unpack()[0]
        # Qt passes its unique bus name; the item lives at /StatusNotifierItem.
        name, item_path = (sender, service) if service.startswith("/") else (service, "/StatusNotifierItem")
        items.append(name + item_path)
        conn.signal_subscribe(name, "org.kde.StatusNotifierItem", "NewIcon", item_path, None,
                              Gio.DBusSignalFlags.NONE, lambda *a: say("newicon " + name))
        conn.emit_signal(None, "/StatusNotifierWatcher", "org.kde.StatusNotifierWatcher",
                         "StatusNotifierItemRegistered", GLib.Variant("(s)", (name + item_path,)))
        say("registered %s %s" % (name, item_path))
    invocation.return_value(None)


def on_watcher_get(conn, sender, path, interface, prop):
    return {"RegisteredStatusNotifierItems": GLib.Variant("as", items),
            "IsStatusNotifierHostRegistered": GLib.Variant("b", True),
            "ProtocolVersion": GLib.Variant("i", 0)}.get(prop)


def on_notify_call(conn, sender, path, interface, method, args, invocation):
    global last_id
    args = args.unpack()
    reply = None
    if method == "GetCapabilities":
        reply = GLib.Variant("(as)", (["body", "body-markup", "actions"],))
    elif method == "Notify":
        app, replaces, icon, summary, body, actions, hints, timeout = args
        if not replaces:
            last_id += 1
        nid = replaces or last_id
        say("notify %d %d %s|%s|%s" % (nid, replaces, summary, body.replace("\n", "\\n"), ",".join(actions[::2])))
        reply = GLib.Variant("(u)", (nid,))
    elif method == "CloseNotification":
        say("close %d" % args[0])
    elif method == "Invoke":
        conn.emit_signal(None, NOTIFY_PATH, "org.freedesktop.Notifications", "ActionInvoked", GLib.Variant("(us)", args))
        conn.emit_signal(None, NOTIFY_PATH, "org.freedesktop.Notifications", "NotificationClosed",
                         GLib.Variant("(uu)", (args[0], 2)))
    invocation.return_value(reply)


SERVICES = {
    "watcher": ("org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher", WATCHER, on_watcher_call, on_watcher_get),
    "notify": ("org.freedesktop.Notifications", NOTIFY_PATH, NOTIFY, on_notify_call, None),
}
bus_name, object_path, xml, on_call, on_get = SERVICES[sys.argv[1]]


def on_bus(conn, name):
    for info in Gio.DBusNodeInfo.new_for_xml(xml).interfaces:
        conn.register_object(object_path, info, on_call, on_get, None)


def on_lost(conn, name):
    say("lost " + name)
    sys.exit(1)


Gio.bus_own_name(Gio.BusType.SESSION, bus_name, Gio.BusNameOwnerFlags.NONE, on_bus, lambda *a: say("serving"),
                 on_lost)
GLib.MainLoop().run()
