#!/usr/bin/env bash
# Codes that come in other than by a drag: files named on the command line, handed over by a
# later start, copied files and pictures pasted; and what comes while a drop is handled.
# shellcheck source=lib.sh disable=SC2119  # start is given arguments of its own, not the script's
. "$(dirname "$0")/lib.sh"
mkdir "$T/sub" "$T/テスト 画像"
# way in (args: the first start's command line, in $T; hand: a later start's, in $T/sub; paste:
# copied files) | names (',' between) | picture | result lines of each, each ended by '/' ('-':
# the file is passed over, not even echoed)
args=() hand=() paste=()
while IFS='|' read -r way names picture result; do
  IFS=, read -ra names <<<"$names"
  for name in "${names[@]}"; do
    cp "$P/$picture" "$T/$name"
    declare -n list=$way && list+=("${name#sub/}")
    [[ $result == - ]] || { echoed+=("$T/$name"); box+=$result; }
  done
done <<'ROWS'
args|notes.txt|not-a-picture.png|-
args|テスト 画像/コード 1.png|qr-japanese.png|取り込み準備中 テスト/
args|q1.png,q2.png,q3.png,q4.png,q5.png,q6.png,q7.png,q8.png|two-qr.png|second/first/
hand|sub/café.png|qr-cafe.png|café/
paste|scan.jpe|qr.png|-
paste|qr and code128.png|qr-and-code128.png|Hello, Lumora/
ROWS
# own TYPE FILE: another X client holds FILE as TYPE on the clipboard, until a result replaces
# it; waited for by its list of types, since the program's own may name TYPE too.
own() {
  xclip -quiet -selection clipboard -t "$1" -i "$2" >/dev/null 2>&1 &
  PIDS+=($!)
  wait_for 5 "$1 did not reach the clipboard" offers "$1"
}
offers() { [[ $(timeout 5 xclip -o -selection clipboard -t TARGETS 2>/dev/null) == "TARGETS"$'\n'"$1" ]]; }
# hand DIR FILE...: a later start in DIR ends at once and silently, handing FILE... over.
hand() {
  (cd "$1" && shift && exec "${lenv[@]}" timeout 5 "$LUMORA" "$@") >"$T/hand.log" 2>&1 || fail "a later start did not end at once"
  [[ ! -s $T/hand.log ]] || fail "a later start said: $(head -n 3 "$T/hand.log")"
}

# Handed over while the command line's sixteen codes beep: taken after them. Before it, what
# no later start sends: a relative path, and a list too long for any command line.
start "${args[@]}"
timeout 10 perl -MIO::Socket::UNIX -e '$SIG{PIPE} = "IGNORE"; my ($at, $f) = @ARGV; IO::Socket::UNIX->new($at)->print($_) for "q1.png\0", "$f\0" x 200000' \
  "$T/run/Lumora.exe.socket" "$T/q1.png" || fail "no socket at \$XDG_RUNTIME_DIR/Lumora.exe.socket"
hand "$T/sub" "${hand[@]}"
wait_for 20 "the code handed over was not reported" clip_is café

# With 閉じる focused (as at start), text is not pasted; copied files are taken as a drop.
printf 'typed\n' >"$T/text"
own UTF8_STRING "$T/text"
xdotool windowfocus --sync "$WIN" key ctrl+v
uris "${paste[@]/#/$T/}" >"$T/uris"
own text/uri-list "$T/uris"
xdotool key ctrl+v
wait_for 10 "the pasted files were not taken" clip_is "Hello, Lumora"
# In the result box: pictures are decoded, by Shift+Insert and by the context menu; text is pasted.
# The PNG is black throughout, its bars drawn by transparency alone, as on a web page.
click 140 116
convert "$P/codabar.png" \( +clone -negate \) -alpha off -compose copy_opacity -composite -fill black -colorize 100 "$T/codabar.png"
own image/png "$T/codabar.png"
xdotool key shift+Insert
wait_for 10 "the pasted PNG was not decoded" clip_is A40156B
convert "$P/qr-greek.png" "$T/greek.bmp"
own image/bmp "$T/greek.bmp"
# shellcheck disable=SC2046  # at prints two words
xdotool mousemove $(at 140 116) click 3
# shellcheck disable=SC2016  # evaluated in wait_for
wait_for 5 "no context menu" eval 'xdotool search --onlyvisible --classname "^lumora$" | grep -vx "$WIN"'
xdotool key p
wait_for 10 "the BMP pasted from the menu was not decoded" clip_is "Καλημέρα κόσμε"
own UTF8_STRING "$T/text"
xdotool key ctrl+v ctrl+a ctrl+c
wait_for 5 "the result box does not hold the codes and then the text" clip_is "$(tr / '\n' <<<"${box}A40156B/Καλημέρα κόσμε/typed")"
stdout_is "${echoed[@]}"  # nothing for pictures or text
check_tones $(($(tr -cd / <<<"$box" | wc -c) + 2))
shot ways-in

# A killed copy leaves its socket behind: the next start takes files itself, then from the
# next. A click made while they beep (クリア) waits for them, then counts without a further
# event from the X server: screenshots send none.
kill -KILL "$PID"
wait "$PID" 2>/dev/null || true
start q{1..8}.png
wait_for 10 "after a killed copy, files were not taken" test -s "$T/stdout.log"
click 329 174
wait_for 10 "the files were not all taken" lines 8
blank() { [[ $(import -window "$WIN" png:- | convert - -crop 300x100+20+20 -format '%[fx:minima]' info:) == 1 ]]; }
wait_for 10 "a click made during a drop did not count at its end" blank
hand "$T" "$T/qr and code128.png"
wait_for 10 "the file handed over to the new copy was not taken" lines 9
stdout_is "$T/q"{1..8}.png "$T/qr and code128.png"
esc
