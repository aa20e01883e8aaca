#!/bin/bash
# Bad files dragged into the real program among good ones: the program keeps running, each
# bad file gives its path line and nothing else (no beep, nothing on the clipboard), and
# the unusual good ones (control characters, 2,900 bytes) reach the clipboard whole. Then a
# program whose standard output is a closed pipe takes a drop without dying.
# Usage: bad-input.sh PROGRAM   (environment: E2E_DRAG_SOURCE, E2E_PICTURES; see CMakeLists.txt)

. "$(dirname "$0")/lib.sh"

program=$1
pictures=${E2E_PICTURES:?}

files=$E2E_TMP/files
mkdir -p "$files/folder" "$files/pipe"
half() { head -c "$(($(stat -c %s "$1") / 2))" "$1"; }
half "$pictures/qr.png" >"$files/cut.png"
half "$pictures/qr-colour.jpg" >"$files/cut.jpg"
: >"$files/empty.png"
head -c 4096 /dev/urandom >"$files/noise.png"
mkdir "$files/folder/x.png"
mkfifo "$files/pipe/x.png"
ln -s "$files/gone.png" "$files/link.png"
cp "$pictures/qr.png" "$files/a"$'\xff\xfe'".png"
cp "$pictures/qr-control-chars.png" "$files/control.png"
cp "$pictures/qr-2900-bytes.png" "$files/long.png"
cp "$pictures/codabar.png" "$files/codabar.png"
bad=("$files/cut.png" "$files/cut.jpg" "$files/empty.png" "$files/noise.png" "$files/folder/x.png"
    "$files/pipe/x.png" "$files/link.png" "$files/a"$'\xff\xfe'".png")

control_text=$'line1\r\nline2\ttab\abell'
long_text=$(for ((i = 1; i <= 132; i++)); do printf 'Lumora %03d ABCDEFGHIJ\n' "$i"; done | head -c 2900)

tones=$E2E_TMP/tones.raw
e2e_alsa_file_sink "$tones"
e2e_start_xvfb
e2e_start_lumora "$program"
e2e_move_window "$E2E_LUMORA_WINDOW" 300 100
read -r dialogX dialogY dialogW dialogH <<<"$(e2e_window_geometry "$E2E_LUMORA_WINDOW")"
readonly dropX=$((dialogX + dialogW / 3)) dropY=$((dialogY + dialogH / 2))

tone_count() { e2e_tone_files "$tones" | wc -l; }
# Fails at once when the program has ended, else answers whether the clipboard holds $1.
alive_and_clipboard_holds()
{
    kill -0 "$E2E_LUMORA_PID" 2>/dev/null || e2e_fail "the program has ended"
    [[ $(e2e_clipboard || true) == "$1" ]]
}

# drop_and_check EXPECTED_CLIPBOARD EXPECTED_TONES FILE...: one drag of FILE...; waits until
# the clipboard holds the expected text, which it is only given after the handler returned.
drop_and_check()
{
    local clipboard=$1 toneCount=$2
    shift 2
    e2e_start_drag_source "$E2E_DRAG_SOURCE" 20 20 "$@"
    e2e_drag_files "$dropX" "$dropY"
    e2e_wait_until 30 "the clipboard never held the expected text" alive_and_clipboard_holds "$clipboard"
    sleep 0.5 # nothing more may follow
    alive_and_clipboard_holds "$clipboard" || e2e_fail "the clipboard changed after the drop"
    local count
    count=$(tone_count)
    ((count == toneCount)) || e2e_fail "expected $toneCount tones in all, heard $count"
}

# The bad files first, then a good one: its code is the only line, beep and clipboard text.
drop_and_check "A40156B" 1 "${bad[@]}" "$files/codabar.png"
# Every file was echoed, in order; the name that is not UTF-8 shows U+FFFD for its bytes.
printf '%s\n' "${bad[@]:0:7}" "$files/a"$'\xef\xbf\xbd\xef\xbf\xbd'".png" "$files/codabar.png" \
    >"$E2E_TMP/expected-stdout.log"
cmp -s "$E2E_TMP/expected-stdout.log" <(e2e_lumora_stdout) ||
    e2e_fail "standard output is not as expected: $(diff "$E2E_TMP/expected-stdout.log" <(e2e_lumora_stdout) || true)"

drop_and_check "$control_text" 2 "$files/control.png"
drop_and_check "$long_text" 3 "$files/long.png"
e2e_screenshot bad-input
e2e_close_lumora

# Standard output a pipe without a reader: the echo line of a drop fails to be written,
# which must not end the program. The reader is this script's end of a FIFO, closed once
# the program holds the writing end.
mkfifo "$E2E_TMP/stdout.fifo"
exec 3<>"$E2E_TMP/stdout.fifo"
(cd "$E2E_TMP" && exec env HOME="$E2E_HOME" XDG_RUNTIME_DIR="$E2E_TMP/runtime" QT_QPA_PLATFORM=xcb \
    LANG=C.UTF-8 LC_ALL=C.UTF-8 \
    LSAN_OPTIONS="suppressions=$E2E_DIR/../lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}" \
    "$program") 3>&- >"$E2E_TMP/stdout.fifo" 2>"$E2E_TMP/lumora-stderr.log" &
E2E_LUMORA_PID=$!
E2E_PIDS+=("$E2E_LUMORA_PID")
E2E_LUMORA_WINDOW=$(e2e_wait_window 20 "Lumora Ver.2.2.3") || e2e_fail "the second program showed no window"
exec 3>&-
e2e_move_window "$E2E_LUMORA_WINDOW" 300 100
drop_and_check "Hello, Lumora" 4 "$pictures/qr.png"
e2e_close_lumora
echo "e2e_bad_input: passed"
