#!/usr/bin/env bash
# The codes on the screen, in another program's window that the dialog mostly covers: read
# at a first start with --screen, by the shortcut, by the result box's context menu and
# when a later start hands the request over; a screen without codes gives a notice only.
# shellcheck source=lib.sh disable=SC2119  # start is given arguments of its own, not the script's
. "$(dirname "$0")/lib.sh"
convert "$P/qr-and-code128.png" -bordercolor white -border 40 "$T/codes.png"
# The picture sits at 650,80, the dialog at 700,100 over both codes (see start).
display -geometry +650+80 -title codes "$T/codes.png" &
SHOWN=$!
PIDS+=("$SHOWN")
wait_for 10 "the codes are not on the screen" xdotool search --onlyvisible --name '^codes$'
# read_both WHAT BEEPS: the two codes have been reported once more, BEEPS beeps in all.
read_both() {
  wait_for 10 "$1 did not read the screen" heard "$2"
  check_tones "$2"
  clip_is Lumora-128 || fail "$1: the clipboard does not end on the Code 128"
}
start --screen
read_both "a first start with --screen" 2
xdotool windowfocus --sync "$WIN" key ctrl+shift+s
read_both "the shortcut" 4
# After Clear, the menu's first entry that can be chosen is Paste, and the next one ours.
click 330 172
box_menu Down Down Return
read_both "the context menu" 6
(cd "$T" && exec "${lenv[@]}" timeout 5 "$LUMORA" --screen) || fail "a later start with --screen did not end at once"
read_both "a request handed over" 8

# Requests that are not ours, or not whole, change nothing; nor does a screen without codes,
# apart from a notice, which goes by itself.
timeout 10 perl -MIO::Socket::UNIX -e 'IO::Socket::UNIX->new($ARGV[0])->print($_) for "--screen", "--bogus\0", "-- screen\0"' \
  "$T/run/Lumora.exe.socket"
kill "$SHOWN"
sleep 1
notice 5
check_tones 8
clip_is Lumora-128 || fail "the clipboard changed"
esc
