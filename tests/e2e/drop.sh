#!/bin/bash
# Drags real files from another X client onto the running program and checks what can be
# seen from outside its window: the echo lines on standard output, the clipboard, and the
# beeps, caught by an ALSA file sink. The result box shows in the screenshot drop.png.
# Usage: drop.sh PROGRAM   (environment: E2E_DRAG_SOURCE, E2E_PICTURES; see CMakeLists.txt)

. "$(dirname "$0")/lib.sh"

program=$1
pictures=${E2E_PICTURES:?}

readonly kToneBytes=$((48000 * 2 * 200 / 1000))  # 200 ms of S16 mono at 48 kHz
readonly kPaddingBytes=$((48000 * 2 * 50 / 1000)) # the device's last period may be padded

files=$E2E_TMP/files
mkdir -p "$files/テスト 画像"
cp "$pictures/qr.png" "$files/photo.PNG"
cp "$pictures/qr.png" "$files/qr.png"
cp "$pictures/qr-and-code128.png" "$files/qr and code128.png"
cp "$pictures/not-a-picture.png" "$files/not-a-picture.png"
cp "$pictures/qr-japanese.png" "$files/テスト 画像/コード 1.png"
cp "$pictures/two-qr.png" "$files/two-qr.png"

tones=$E2E_TMP/tones.raw
e2e_alsa_file_sink "$tones"
e2e_start_xvfb
e2e_start_lumora "$program"
e2e_move_window "$E2E_LUMORA_WINDOW" 300 100
read -r dialogX dialogY dialogW dialogH <<<"$(e2e_window_geometry "$E2E_LUMORA_WINDOW")"

tone_count() { e2e_tone_files "$tones" | wc -l; }
clipboard_holds() { [[ $(e2e_clipboard || true) == "$1" ]]; }

# drop_and_check X Y EXPECTED_CLIPBOARD EXPECTED_TONES FILE...: drags FILE... onto the
# dialog at X, Y and waits until the program has handled them: the clipboard is answered
# only once the handler has returned, so it is read until it shows the expected text.
drop_and_check()
{
    local x=$1 y=$2 clipboard=$3 toneCount=$4
    shift 4
    e2e_start_drag_source "$E2E_DRAG_SOURCE" 20 20 "$@"
    e2e_drag_files "$x" "$y"
    e2e_wait_until 20 "the clipboard never held '$clipboard'" clipboard_holds "$clipboard"
    sleep 0.5 # nothing more may follow
    local count
    count=$(tone_count)
    ((count == toneCount)) || e2e_fail "expected $toneCount tones in all, heard $count"
}

# First drop onto the result box: it must not take the files for text.
drop_and_check "$((dialogX + dialogW / 3))" "$((dialogY + dialogH / 2))" "取り込み準備中 テスト" 3 \
    "$files/photo.PNG" "$files/qr.png" "$files/qr and code128.png" "$files/not-a-picture.png" \
    "$files/テスト 画像/コード 1.png"

# Second drop onto the right-hand side of the dialog, between its buttons.
drop_and_check "$((dialogX + dialogW * 95 / 100))" "$((dialogY + dialogH * 40 / 100))" "first" 5 \
    "$files/two-qr.png"

# Exactly one line per accepted file, in drop order, each ended and flushed.
printf '%s\n' "$files/qr.png" "$files/qr and code128.png" "$files/not-a-picture.png" \
    "$files/テスト 画像/コード 1.png" "$files/two-qr.png" >"$E2E_TMP/expected-stdout.log"
cmp -s "$E2E_TMP/expected-stdout.log" <(e2e_lumora_stdout) ||
    e2e_fail "standard output is not as expected: $(diff "$E2E_TMP/expected-stdout.log" <(e2e_lumora_stdout) || true)"

while read -r tone; do
    size=$(stat -c %s "$tone")
    ((size >= kToneBytes && size <= kToneBytes + kPaddingBytes)) ||
        e2e_fail "$(basename "$tone") holds $size bytes, not 200 ms of sound"
done < <(e2e_tone_files "$tones")

e2e_screenshot drop
e2e_close_lumora
echo "e2e_drop: passed"
