#!/usr/bin/env bash
# The dialog as a screen reader sees it over the accessibility bus (AT-SPI): every control
# named, the clipboard box read as one with the label under it, a dropped file's text heard
# while the focus stays on 閉じる, a file that cannot be read and a long drop's progress heard
# too, and the context menu reached from the keyboard.
# shellcheck source=lib.sh disable=SC2119  # start is given arguments of its own, not the script's
. "$(dirname "$0")/lib.sh"
private_bus DBUS_SESSION_BUS_ADDRESS
export DBUS_SESSION_BUS_ADDRESS
/usr/libexec/at-spi-bus-launcher --launch-immediately >>"$T/a11y.log" 2>&1 &
PIDS+=($!)
wait_for 5 "no accessibility bus" dbus-send --session --dest=org.a11y.Bus --print-reply /org/a11y/bus \
  org.a11y.Bus.GetAddress
start QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 LUMORA_EXTRA_CAMERAS=
# role|name|labelled by, for what is on screen
"$HERE/accessibility.py" tree | diff - <(cat <<'TREE') >&2 || fail "the dialog's tree differs as shown (< as read, > expected)"
dialog|Lumora Ver.2.2.3|
  push button|閉じる|
  text|読み取り結果|
    filler|読み取り結果|
    filler|読み取り結果のスクロールバー|
      scroll bar|読み取り結果のスクロールバー|
  push button|取り込み開始|
  push button|取り込み終了|
  push button|クリア|
  radio button|大画面|
  radio button|小画面|
  check box|クリップボード格納|ボード格納
  label|ボード格納|
  combo box|カメラ|
TREE

coproc LISTENER { "$HERE/accessibility.py" heard 'Hello, Lumora' 15; }
read -r ready <&"${LISTENER[0]}" && [[ $ready == READY ]] || fail "no listener"
drop 140 116 "$P/qr.png"
read -r -t 15 heard <&"${LISTENER[0]}" || fail "the dropped file's text was not heard"
awk "BEGIN { exit !($heard - $(stat -c %.9Y "$T/tone") < 1) }" || fail "the text was heard more than 1 s after its beep"

# listen_for TEXT SECS ACTION...: a listener for TEXT, then ACTION..., and TEXT heard within SECS.
listen_for() {
  local text=$1 secs=$2 ready
  shift 2
  coproc HEARING { "$HERE/accessibility.py" heard "$text" "$secs"; }
  read -r ready <&"${HEARING[0]}" && [[ $ready == READY ]] || fail "no listener"
  "$@"
  read -r -t "$secs" _ <&"${HEARING[0]}" || fail "\"$text\" was not heard"
  wait "$HEARING_PID" 2>/dev/null || true  # it has said what it heard
}
# A file that cannot be read, in its notice; a long drop's progress, at its start and its end.
listen_for "パスワードで保護された PDF は読めません" 15 drop 140 116 "$P/../documents/encrypted.pdf"
listen_for "読み取り中" 30 drop 140 116 "$P/../documents/10000-pages.pdf"
listen_for "読み取り完了" 60 true

# The Menu key on 閉じる, Shift+F10 in the result box: the box's menu, 画面から読み取り in it.
for keys in "key Menu" "key Tab shift+F10"; do
  # shellcheck disable=SC2086  # the keys are words
  xdotool windowfocus --sync "$WIN" $keys
  wait_for 5 "$keys opened no menu" menu_open
  xdotool key Escape
  wait_for 5 "the menu stayed" eval '! menu_open'
done
esc
