#!/usr/bin/env bash
# Acting on what was read, through the result box's menu 読み取った内容, with the desktop's
# handlers stood in for: a browser that writes down what it is given, and NetworkManager on
# a bus of the test's own passed as the system bus, which takes one network and refuses the
# next. Nothing runs without a yes, and a javascript: text offers nothing at all.
# shellcheck source=lib.sh disable=SC2119  # start is given arguments of its own, not the script's
. "$(dirname "$0")/lib.sh"
mkdir -p "$T/data/applications" "$T/config"
printf '#!/bin/sh\necho "$1" >>"%s"\n' "$T/opened" >"$T/browser"
chmod +x "$T/browser"
printf '[Desktop Entry]\nType=Application\nName=Browser\nExec=%s %%u\nMimeType=x-scheme-handler/https;\n' \
  "$T/browser" >"$T/data/applications/browser.desktop"
printf '[Default Applications]\nx-scheme-handler/https=browser.desktop\n' >"$T/config/mimeapps.list"
private_bus SYSTEM_BUS
stand_in "$SYSTEM_BUS" network "$T/joined" org.freedesktop.NetworkManager
# Dropped in this order, listed newest first: the contact, the network, the link.
link='https://example.org/lumora?q=1&r=2'
printf 'BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Lumora\r\n  Tester\r\nTEL:+81312345678\r\nEND:VCARD\r\n' >"$T/card"
qrencode -o "$T/1.png" "$link"
qrencode -o "$T/2.png" 'WIFI:T:WPA;S:Lumora\;Net;P:pa\:ss;H:true;;'
qrencode -8 -r "$T/card" -o "$T/3.png"
qrencode -o "$T/4.png" 'javascript:alert(1)'
start XDG_DATA_HOME="$T/data" XDG_CONFIG_HOME="$T/config" DBUS_SYSTEM_BUS_ADDRESS="$SYSTEM_BUS"
drop 140 116 "$T"/{1,2,3,4}.png
wait_for 20 "the codes were not read" heard 4
# act N KEY...: the first action of the menu's Nth content, then KEY... in what it opens.
# The menu's first entries that can be chosen: Paste, 画面から読み取り, 読み取った内容.
act() {
  local n=$1 down=()
  shift
  for ((; n > 1; n--)); do down+=(Down); done
  box_menu Down Down Down Right "${down[@]}" Right Return sleep 1 key "$@"
}

act 3 Escape
sleep 1
[[ ! -e $T/opened ]] || fail "a link opened although the confirmation was cancelled"
act 3 Return
wait_for 10 "the confirmed link did not reach the browser" test -s "$T/opened"
act 2 Return
wait_for 10 "the network was not handed to NetworkManager" test -s "$T/joined"
xdotool sleep 1 key Return  # its answer
act 2 Return
wait_for 10 "NetworkManager was not asked again" eval '(($(wc -l <"$T/joined") == 2))'
xdotool sleep 1 key Return  # its refusal
act 1 ctrl+a
xdotool type "$T/saved.vcf"
xdotool key Return
wait_for 10 "the contact was not saved" test -s "$T/saved.vcf"
cmp -s "$T/saved.vcf" "$T/card" || fail "the saved contact differs from what was read"
[[ $(cat "$T/opened") == "$link" ]] || fail "the browser was given: $(cat "$T/opened")"
[[ $(cat "$T/joined") == $'Lumora;Net True wpa-psk pa:ss\nLumora;Net True wpa-psk pa:ss' ]] ||
  fail "NetworkManager was given: $(cat "$T/joined")"
check_tones 4
esc
