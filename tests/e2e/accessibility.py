#!/usr/bin/python3
"""The program as a screen reader sees it over AT-SPI.
  accessibility.py tree              every object of the dialog on screen, one a line:
                                     depth, role, name, and who labels it
  accessibility.py heard TEXT SECS   waits until a notification that shows says TEXT,
                                     as Orca speaks it for an object without the focus;
                                     prints READY once listening, then the time it was
                                     heard (seconds since 1970); exits 1 after SECS"""
import sys
import time

import pyatspi
from gi.repository import GLib


def tree(node, depth=0):
    if node.getState().contains(pyatspi.STATE_SHOWING) or depth == 0:
        labels = [target.name for relation in node.getRelationSet()
                  if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY
                  for target in (relation.getTarget(i) for i in range(relation.getNTargets()))]
        print("%s%s|%s|%s" % ("  " * depth, node.getRoleName(), node.name, ",".join(labels)))
        for child in node:
            tree(child, depth + 1)


def heard(text, seconds):
    def on_showing(event):
        if event.detail1 == 1 and event.source.getRole() == pyatspi.ROLE_NOTIFICATION and text in event.source.name:
            heard.ok = True
            print(time.time(), flush=True)
            pyatspi.Registry.stop()
    heard.ok = False
    pyatspi.Registry.registerEventListener(on_showing, "object:state-changed:showing")
    GLib.timeout_add(int(seconds * 1000), lambda: pyatspi.Registry.stop())
    print("READY", flush=True)
    pyatspi.Registry.start()
    sys.exit(0 if heard.ok else 1)


if sys.argv[1] == "tree":
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "lumora":
            for window in app:
                tree(window)
else:
    heard(sys.argv[2], float(sys.argv[3]))
