#!/usr/bin/env bash
# One copy per user, and the three ways to close the dialog, on a real X server.
. "$(dirname "$0")/lib.sh"
lumora=$1

# A second copy under the same user: ends by itself, with no window of its own.
start_second_copy()
{
    local binary=$1 started
    started=$(date +%s%N)
    (cd "$E2E_TMP" && env HOME="$E2E_HOME" XDG_RUNTIME_DIR="$E2E_TMP/runtime" QT_QPA_PLATFORM=xcb \
        timeout 10 "$binary") >"$E2E_TMP/second.log" 2>&1 || e2e_fail "a second copy did not end by itself"
    (($(date +%s%N) - started < 5000000000)) || e2e_fail "a second copy took too long to end"
    local windows
    windows=$(xdotool search --onlyvisible --name '^Lumora Ver\.2\.2\.3$' | wc -l)
    ((windows == 1)) || e2e_fail "$windows dialogs on screen after a second start"
}

# Clicks the point (X, Y) of the dialog given in dialog units: the dialog is 369 x 232 of them.
click_dialog_units()
{
    local x y w h
    read -r x y w h <<<"$(e2e_window_geometry "$E2E_LUMORA_WINDOW")"
    xdotool mousemove --sync "$((x + w * $1 / 369))" "$((y + h * $2 / 232))" click 1
}

e2e_start_xvfb

e2e_start_lumora "$lumora"
e2e_screenshot dialog
start_second_copy "$lumora"
cp "$lumora" "$E2E_TMP/renamed-copy"
start_second_copy "$E2E_TMP/renamed-copy"
kill -0 "$E2E_LUMORA_PID" || e2e_fail "the first copy did not survive the second start"

# Killed: the lock goes with the process, and the next start works; Esc closes it.
kill -KILL "$E2E_LUMORA_PID"
wait "$E2E_LUMORA_PID" 2>/dev/null || true  # killed on purpose
e2e_start_lumora "$lumora"
e2e_close_lumora

# Enter outside the result box presses 閉じる, which has the focus at start.
e2e_start_lumora "$lumora"
xdotool windowfocus --sync "$E2E_LUMORA_WINDOW" key Return
e2e_wait_until 10 "Enter did not close the dialog" e2e_lumora_ended

# A click on 閉じる (the middle of its template rectangle 292, 25, 70 x 21) closes it too.
e2e_start_lumora "$lumora"
click_dialog_units 327 35
e2e_wait_until 10 "閉じる did not close the dialog" e2e_lumora_ended
wait "$E2E_LUMORA_PID" || e2e_fail "the program ended with status $?"
echo "instance and closing: ok"
