#!/usr/bin/python3
"""Desktop services, stood in for on a private bus (the session bus, or one a test passes
as the system bus), the first argument naming which:
  portal MODE_FILE   the portal's screenshot service: each request is answered as MODE_FILE
                     says at that moment: 'picture PATH' (with PATH's URI), 'refuse' or 'silent'
  network LOG_FILE   NetworkManager: the first connection asked for is taken, the next one
                     refused; each is written to LOG_FILE as its settings, one line each"""
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib


class Request(dbus.service.Object):
    @dbus.service.signal("org.freedesktop.portal.Request", signature="ua{sv}")
    def Response(self, code, results):
        pass


class Portal(dbus.service.Object):
    @dbus.service.method("org.freedesktop.portal.Screenshot", in_signature="sa{sv}", out_signature="o",
                         sender_keyword="sender")
    def Screenshot(self, parent_window, options, sender):
        path = "/org/freedesktop/portal/desktop/request/%s/%s" % (sender[1:].replace(".", "_"),
                                                                   options["handle_token"])
        request = Request(self.connection, path)
        with open(sys.argv[2]) as mode_file:
            mode = mode_file.read().split()
        answers = {"picture": lambda: (0, {"uri": "file://" + mode[1]}), "refuse": lambda: (1, {})}
        if mode[0] in answers:
            code, results = answers[mode[0]]()
            # After the reply that names the request, as a portal does.
            GLib.timeout_add(100, lambda: request.Response(code, dbus.Dictionary(results, signature="sv")))
        return path


class NetworkManager(dbus.service.Object):
    asked = 0

    @dbus.service.method("org.freedesktop.NetworkManager", in_signature="a{sa{sv}}oo", out_signature="oo")
    def AddAndActivateConnection(self, settings, device, specific_object):
        wireless, security = settings["802-11-wireless"], settings.get("802-11-wireless-security", {})
        with open(sys.argv[2], "a") as log:
            print(bytes(wireless["ssid"]).decode(), bool(wireless.get("hidden", False)),
                  security.get("key-mgmt", "-"), security.get("psk", security.get("wep-key0", "-")), file=log)
        NetworkManager.asked += 1
        if NetworkManager.asked > 1:
            raise dbus.exceptions.DBusException("Not authorized to add this connection",
                                                name="org.freedesktop.NetworkManager.PermissionDenied")
        return "/org/freedesktop/NetworkManager/Settings/1", "/org/freedesktop/NetworkManager/ActiveConnection/1"


DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
service, path, stand_in = {"portal": ("org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop", Portal),
                           "network": ("org.freedesktop.NetworkManager", "/org/freedesktop/NetworkManager",
                                       NetworkManager)}[sys.argv[1]]
name = dbus.service.BusName(service, bus)
stand_in(bus, path)
GLib.MainLoop().run()
