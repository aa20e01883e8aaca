#!/usr/bin/env bash
# A capture run on the real program, driven by clicks and keys from outside: two picture
# sequences as cameras, the camera picked in the list, the preview window opening and
# closing, the clipboard, the beeps and their pace, Stop, and Esc during a run.
# Usage: capture.sh PROGRAM   (environment: E2E_PICTURES; see CMakeLists.txt)
. "$(dirname "$0")/lib.sh"

program=$1
pictures=${E2E_PICTURES:?}
readonly kFrames=60  # about ten detections of a code that stays in view

# make_camera NAME PICTURE: a 640x480 colour sequence NAME/f000.png... with PICTURE in view.
make_camera()
{
    local folder=$E2E_TMP/$1 i
    mkdir -p "$folder"
    /usr/bin/convert "$pictures/$2" -background white -gravity center -extent 640x480 -type TrueColor \
        "$folder/f000.png"
    for ((i = 1; i < kFrames; i++)); do
        cp "$folder/f000.png" "$folder/$(printf 'f%03d.png' "$i")"
    done
    echo "$folder/f%03d.png"
}

# Clicks the middle of a control, given by its template rectangle in dialog units.
click_control()
{
    local x y w h
    read -r x y w h <<<"$(e2e_window_geometry "$E2E_LUMORA_WINDOW")"
    xdotool mousemove --sync "$((x + w * ($1 + $3 / 2) / 369))" "$((y + h * ($2 + $4 / 2) / 232))" click 1
}
click_start() { click_control 293 101 69 20; }
click_stop() { click_control 294 125 68 20; }
# Opens the camera list and moves its selection with a key (Up or Down), then closes it.
pick_camera() { click_control 290 5 72 12; sleep 0.3; xdotool key "$1" Return; sleep 0.3; }

preview_open() { xdotool search --onlyvisible --name '^取り込み$' >/dev/null 2>&1; }
preview_closed() { ! preview_open; }
clipboard_holds() { [[ $(e2e_clipboard || true) == "$1" ]]; }
tone_count() { e2e_tone_files "$tones" | wc -l; }
has_tones() { (($(tone_count) >= $1)); }

tones=$E2E_TMP/tones.raw
e2e_alsa_file_sink "$tones"
qr=$(make_camera qr-camera qr.png)
code128=$(make_camera code128-camera code128.png)
e2e_start_xvfb
e2e_start_lumora "$program" LUMORA_EXTRA_CAMERAS="$qr"$'\n'"$code128"
e2e_move_window "$E2E_LUMORA_WINDOW" 660 100

# The second camera, picked in the list, is the one the run reads.
pick_camera Down
click_start
e2e_wait_until 10 "no preview window opened" preview_open
e2e_wait_until 10 "the Code 128 of the second camera never reached the clipboard" clipboard_holds "Lumora-128"
e2e_wait_until 10 "fewer than two beeps for a code held in view" has_tones 2
e2e_screenshot capture

# The feedback holds each detection: a code held in view is reported at most every 1.7 s.
mapfile -t files < <(e2e_tone_files "$tones")
first=$(stat -c %.9Y "${files[0]}")
second=$(stat -c %.9Y "${files[1]}")
awk -v a="$first" -v b="$second" 'BEGIN { exit !(b - a >= 1.7) }' ||
    e2e_fail "two detections only $(awk -v a="$first" -v b="$second" 'BEGIN { print b - a }') s apart"

# Stop ends the run at the end of its pass: the preview closes, the beeps end.
click_stop
e2e_wait_until 10 "the preview stayed open after Stop" preview_closed
sleep 2
heard=$(tone_count)
sleep 2
(($(tone_count) == heard)) || e2e_fail "beeps went on after Stop"

# Back to the first camera; Esc during the run ends the run and then the program.
pick_camera Up
click_start
e2e_wait_until 10 "the QR code of the first camera never reached the clipboard" clipboard_holds "Hello, Lumora"
xdotool windowfocus --sync "$E2E_LUMORA_WINDOW" key Escape
e2e_wait_until 10 "the program did not end after Esc during a run" e2e_lumora_ended
wait "$E2E_LUMORA_PID" || e2e_fail "the program ended with status $?"
preview_closed || e2e_fail "the preview outlived the program"
[[ ! -s $E2E_TMP/lumora.log ]] || e2e_fail "the camera path wrote to standard output"
echo "capture: ok"
