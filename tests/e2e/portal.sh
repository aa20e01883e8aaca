#!/usr/bin/env bash
# The screen under a Wayland session, where the picture comes from the desktop portal: here
# a stand-in on a private session bus, which answers with a picture, refuses, or never
# answers. The codes of its picture are read and the picture left as it was; the others
# give a notice only.
# shellcheck source=lib.sh disable=SC2119  # start is given arguments of its own, not the script's
. "$(dirname "$0")/lib.sh"
private_bus DBUS_SESSION_BUS_ADDRESS
export DBUS_SESSION_BUS_ADDRESS
echo silent >"$T/mode"
stand_in "$DBUS_SESSION_BUS_ADDRESS" portal "$T/mode" org.freedesktop.portal.Desktop
cp "$P/qr-and-code128.png" "$T/shot.png"
cp "$T/shot.png" "$T/shot.orig"

start XDG_SESSION_TYPE=wayland
echo "picture $T/shot.png" >"$T/mode"
xdotool windowfocus --sync "$WIN" key ctrl+shift+s
wait_for 10 "the portal's picture was not read" heard 2
clip_is Lumora-128 || fail "the clipboard does not end on the Code 128"
cmp -s "$T/shot.png" "$T/shot.orig" || fail "the portal's file was changed"
echo refuse >"$T/mode"
notice 5
echo silent >"$T/mode"
notice 30
check_tones 2
esc
