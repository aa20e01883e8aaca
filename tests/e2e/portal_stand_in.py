#!/usr/bin/python3
"""The desktop portal's screenshot service, stood in for on a private session bus: each
request is answered as the file named by the first argument says at that moment:
'picture PATH' (success, with PATH's URI), 'refuse' (the user said no) or 'silent'."""
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib


class Request(dbus.service.Object):
    @dbus.service.signal("org.freedesktop.portal.Request", signature="ua{sv}")
    def Response(self, code, results):
        pass


class Screenshot(dbus.service.Object):
    @dbus.service.method("org.freedesktop.portal.Screenshot", in_signature="sa{sv}", out_signature="o",
                         sender_keyword="sender")
    def Screenshot(self, parent_window, options, sender):
        path = "/org/freedesktop/portal/desktop/request/%s/%s" % (sender[1:].replace(".", "_"),
                                                                   options["handle_token"])
        request = Request(self.connection, path)
        with open(sys.argv[1]) as mode_file:
            mode = mode_file.read().split()
        answers = {"picture": lambda: (0, {"uri": "file://" + mode[1]}), "refuse": lambda: (1, {})}
        if mode[0] in answers:
            code, results = answers[mode[0]]()
            # After the reply that names the request, as a portal does.
            GLib.timeout_add(100, lambda: request.Response(code, dbus.Dictionary(results, signature="sv")))
        return path


DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
name = dbus.service.BusName("org.freedesktop.portal.Desktop", bus)
Screenshot(bus, "/org/freedesktop/portal/desktop")
GLib.MainLoop().run()
