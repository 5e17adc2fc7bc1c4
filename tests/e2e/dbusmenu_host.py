#!/usr/bin/python3
"""A tray host's side of com.canonical.dbusmenu, as KDE's panel speaks it.

dbusmenu_host.py ITEM layout             the menu's entries as JSON lines {id, label, type, enabled}
dbusmenu_host.py ITEM click LABEL        AboutToShow(0), "opened", GetLayout, then "clicked" on the
                                         entry whose label starts with LABEL, then "closed"
dbusmenu_host.py ITEM event ID NAME      one Event; prints "ok" or the error's name
dbusmenu_host.py ITEM bad                ids that are not there and a flood of AboutToShow; prints
                                         what each got
dbusmenu_host.py ITEM watch SECONDS [open]
                                         prints each LayoutUpdated / ItemsPropertiesUpdated; with
                                         "open", says "opened" first and "closed" at the end
The menu's object path is read from the item's Menu property, as hosts do.
"""
import json
import sys
import time

from gi.repository import Gio, GLib

ITEM_IFACE = "org.kde.StatusNotifierItem"
MENU_IFACE = "com.canonical.dbusmenu"

bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
service = sys.argv[1]


def call(path, iface, method, args, reply):
    return bus.call_sync(service, path, iface, method, args, GLib.VariantType(reply),
                         Gio.DBusCallFlags.NONE, 5000, None).unpack()


def menu_path():
    (value,) = call("/StatusNotifierItem", "org.freedesktop.DBus.Properties", "Get",
                    GLib.Variant("(ss)", (ITEM_IFACE, "Menu")), "(v)")
    return value


PATH = menu_path()


def menu(method, args, reply):
    return call(PATH, MENU_IFACE, method, args, reply)


def layout():
    revision, (root, props, children) = menu("GetLayout", GLib.Variant("(iias)", (0, -1, [])),
                                             "(u(ia{sv}av))")
    assert root == 0, "root id %d" % root
    assert props.get("children-display") == "submenu", props
    entries = []
    for cid, cprops, grandchildren in children:
        assert not grandchildren, "a flat menu has no submenus"
        entries.append({"id": cid, "label": cprops.get("label", ""),
                        "type": cprops.get("type", "standard"),
                        "enabled": cprops.get("enabled", True)})
    return revision, entries


def event(eid, name):
    try:
        menu("Event", GLib.Variant("(isvu)", (eid, name, GLib.Variant("i", 0), int(time.time()))),
             "()")
        return "ok"
    except GLib.Error as e:
        return Gio.DBusError.get_remote_error(e) or e.message


def error_of(method, args, reply):
    try:
        return "answer %s" % json.dumps(menu(method, args, reply), default=str)
    except GLib.Error as e:
        return "error %s" % Gio.DBusError.get_remote_error(e)


command = sys.argv[2]
if command == "layout":
    revision, entries = layout()
    for entry in entries:
        print(json.dumps(entry, ensure_ascii=False))
elif command == "click":
    want = sys.argv[3]
    menu("AboutToShow", GLib.Variant("(i)", (0,)), "(b)")
    assert event(0, "opened") == "ok"
    _, entries = layout()
    hits = [e for e in entries if e["label"].startswith(want)]
    if not hits:
        sys.exit("no entry %r in %s" % (want, entries))
    print(event(hits[0]["id"], "clicked"))
    event(0, "closed")
elif command == "event":
    print(event(int(sys.argv[3]), sys.argv[4]))
elif command == "bad":
    print("layout 99:", error_of("GetLayout", GLib.Variant("(iias)", (99, -1, [])),
                                 "(u(ia{sv}av))"))
    print("property 99:", error_of("GetProperty", GLib.Variant("(is)", (99, "label")), "(v)"))
    print("group 1,99:", error_of("GetGroupProperties",
                                  GLib.Variant("(aias)", ([1, 99], ["label"])), "(a(ia{sv}))"))
    print("group events:", error_of("EventGroup", GLib.Variant(
        "(a(isvu))", ([(99, "clicked", GLib.Variant("i", 0), 0)],)), "(ai)"))
    print("show group:", error_of("AboutToShowGroup", GLib.Variant("(ai)", ([0, 98],)),
                                  "(aiai)"))
    print("show 97:", error_of("AboutToShow", GLib.Variant("(i)", (97,)), "(b)"))
    # A flood: every call is sent before any reply is read.
    pending = []
    loop = GLib.MainLoop()
    answers = {"ok": 0, "error": 0}

    def done(source, result, _):
        try:
            bus.call_finish(result)
            answers["ok"] += 1
        except GLib.Error:
            answers["error"] += 1
        if answers["ok"] + answers["error"] == 3000:
            loop.quit()

    for i in range(3000):
        bus.call(service, PATH, MENU_IFACE, "AboutToShow", GLib.Variant("(i)", (0 if i % 2 else 96,)),
                 GLib.VariantType("(b)"), Gio.DBusCallFlags.NONE, 20000, None, done, None)
    GLib.timeout_add_seconds(60, loop.quit)
    loop.run()
    print("flood: %d answered, %d refused" % (answers["ok"], answers["error"]))
elif command == "watch":
    seconds = float(sys.argv[3])
    opened = len(sys.argv) > 4 and sys.argv[4] == "open"

    def signal(conn, sender, path, iface, name, params, _):
        print(json.dumps({"signal": name, "args": params.unpack()}, ensure_ascii=False,
                         default=str), flush=True)

    bus.signal_subscribe(None, MENU_IFACE, None, PATH, None, Gio.DBusSignalFlags.NONE, signal,
                         None)
    if opened:
        assert event(0, "opened") == "ok"
    print("watching", flush=True)
    loop = GLib.MainLoop()
    GLib.timeout_add(int(seconds * 1000), loop.quit)
    loop.run()
    if opened:
        event(0, "closed")
else:
    sys.exit(__doc__)
