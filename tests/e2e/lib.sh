# shellcheck shell=bash
# Helpers for the end-to-end scripts. Source it first:  . "$(dirname "$0")/lib.sh"
#
# Each script gets a temporary folder ($E2E_TMP), an X server of its own, and the program
# under a HOME and XDG_RUNTIME_DIR of its own, so that neither the single-instance lock nor
# the sound set-up of a user's session is touched. Everything started here is ended on exit;
# after a failure the logs are copied to $E2E_ARTIFACTS.

set -euo pipefail

E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/lumora-e2e.XXXXXX")
E2E_ARTIFACTS=${E2E_ARTIFACTS:-$E2E_TMP/artifacts}
E2E_HOME=$E2E_TMP/home
E2E_PIDS=()  # processes started here, ended last first
mkdir -p "$E2E_HOME" "$E2E_ARTIFACTS"

e2e_log() { echo "e2e: $*" >&2; }

e2e_fail()
{
    echo "FAIL: $*" >&2
    exit 1
}

# Ends one process started here: asked first, killed after 5 s.
e2e_stop_pid()
{
    local pid=$1 i
    kill "$pid" 2>/dev/null || return 0
    for ((i = 0; i < 50; i++)); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true  # its exit status is of no interest once it is being ended
}

e2e_cleanup()
{
    local status=$? i
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
        e2e_stop_pid "${E2E_PIDS[i]}"
    done
    if ((status != 0)); then
        cp "$E2E_TMP"/*.log "$E2E_ARTIFACTS"/ 2>/dev/null || true
        e2e_log "logs kept in $E2E_ARTIFACTS"
    fi
    rm -rf "$E2E_TMP"
    exit "$status"
}
trap e2e_cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# e2e_wait_until SECONDS WHAT COMMAND...: polls COMMAND every 0.1 s; fails naming WHAT.
e2e_wait_until()
{
    local seconds=$1 what=$2 i
    shift 2
    for ((i = 0; i < seconds * 10; i++)); do
        "$@" && return 0
        sleep 0.1
    done
    e2e_fail "$what (waited ${seconds} s)"
}

# Starts an Xvfb of 1280x1024x24 on a free display and exports DISPLAY.
e2e_start_xvfb()
{
    local numberFile=$E2E_TMP/xvfb.display
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numberFile" >"$E2E_TMP/xvfb.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_wait_until 10 "Xvfb gave no display number" test -s "$numberFile"
    DISPLAY=":$(head -n 1 "$numberFile")"
    export DISPLAY
}

# e2e_alsa_file_sink FILE: in $E2E_HOME, sends ALSA's default PCM to FILE instead of a sound
# card. Every opening of the device (one per tone) writes a file of its own: FILE, then
# FILE.0001, FILE.0002, ...; the samples are S16_LE mono at the tone's rate.
e2e_alsa_file_sink()
{
    cat >"$E2E_HOME/.asoundrc" <<ASOUNDRC
pcm.!default {
  type file
  slave.pcm "null"
  file "$1"
  format "raw"
  truncate false
}
ASOUNDRC
}

# Prints the files the sink of e2e_alsa_file_sink FILE has written, in order.
e2e_tone_files()
{
    local base=$1 n
    [[ -e $base ]] || return 0
    echo "$base"
    for ((n = 1; ; n++)); do
        local next
        next=$(printf '%s.%04d' "$base" "$n")
        [[ -e $next ]] || return 0
        echo "$next"
    done
}

# Prints WID's X, Y, WIDTH and HEIGHT, separated by blanks.
e2e_window_geometry()
{
    # shellcheck disable=SC2034  # all are set by the eval; SCREEN and WINDOW go unused
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1")"
    echo "$X $Y $WIDTH $HEIGHT"
}

# e2e_wait_window SECONDS TITLE: prints the id of the visible window titled exactly TITLE.
e2e_wait_window()
{
    local seconds=$1 title=$2 pattern
    # shellcheck disable=SC2001  # one sed reads better than a chain of substitutions
    pattern="^$(sed 's/[][\.*^$+?(){}|]/\\&/g' <<<"$title")\$"
    local ids
    ids=$(timeout "$seconds" xdotool search --sync --onlyvisible --name "$pattern") || return 1
    echo "${ids%%$'\n'*}"
}

# There is no window manager: windows stay where they are put.
e2e_move_window() { timeout 10 xdotool windowmove --sync "$1" "$2" "$3" || e2e_fail "window $1 did not move"; }

# e2e_start_lumora BINARY [NAME=VALUE...]: starts the program in $E2E_TMP with the given extra
# environment; its standard output goes to $E2E_TMP/lumora.log, standard error to
# lumora-stderr.log. Sets E2E_LUMORA_PID and E2E_LUMORA_WINDOW.
e2e_start_lumora()
{
    local binary=$1
    shift
    local runtime=$E2E_TMP/runtime
    [[ -d $runtime ]] || mkdir -m 700 "$runtime"
    # The suppressions matter only to a sanitizer build, whose exit status reports leaks.
    (cd "$E2E_TMP" && exec env HOME="$E2E_HOME" XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=xcb \
        LANG=C.UTF-8 LC_ALL=C.UTF-8 \
        LSAN_OPTIONS="suppressions=$E2E_DIR/../lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}" \
        "$@" "$binary") >"$E2E_TMP/lumora.log" 2>"$E2E_TMP/lumora-stderr.log" &
    E2E_LUMORA_PID=$!
    E2E_PIDS+=("$E2E_LUMORA_PID")
    E2E_LUMORA_WINDOW=$(e2e_wait_window 20 "Lumora Ver.2.2.3") ||
        e2e_fail "the program showed no window; its errors: $(tail -n 5 "$E2E_TMP/lumora-stderr.log")"
}

# The lines the program has written to its standard output so far.
e2e_lumora_stdout() { cat "$E2E_TMP/lumora.log"; }

# Closes the dialog with Esc, as a user would, and checks that the program ends by itself.
e2e_close_lumora()
{
    timeout 10 xdotool windowfocus --sync "$E2E_LUMORA_WINDOW" key Escape || e2e_fail "Esc could not be sent"
    e2e_wait_until 10 "the program did not end after Esc" e2e_lumora_ended
    wait "$E2E_LUMORA_PID" || e2e_fail "the program ended with status $?"
}
e2e_lumora_ended() { ! kill -0 "$E2E_LUMORA_PID" 2>/dev/null; }

# e2e_start_drag_source BINARY X Y FILE...: the drag source window at X, Y offering FILE...
# as one drag, in place of any earlier one. Sets E2E_DRAG_WINDOW; "drag-end" lines go to
# $E2E_TMP/drag-source.log.
E2E_DRAG_PID=
e2e_start_drag_source()
{
    local binary=$1 x=$2 y=$3
    shift 3
    [[ -z $E2E_DRAG_PID ]] || e2e_stop_pid "$E2E_DRAG_PID"
    env GDK_BACKEND=x11 NO_AT_BRIDGE=1 "$binary" "$@" >"$E2E_TMP/drag-source.log" 2>"$E2E_TMP/drag-source-stderr.log" &
    E2E_DRAG_PID=$!
    E2E_PIDS+=("$E2E_DRAG_PID")
    E2E_DRAG_WINDOW=$(e2e_wait_window 20 "Lumora drag source") || e2e_fail "the drag source showed no window"
    e2e_move_window "$E2E_DRAG_WINDOW" "$x" "$y"
}

# e2e_drag FROM_X FROM_Y TO_X TO_Y: presses the first button at FROM, moves in small steps
# (past GTK's drag threshold, with motion the target sees) to TO, and releases there.
e2e_drag()
{
    local fromX=$1 fromY=$2 toX=$3 toY=$4 steps=20 i
    timeout 10 xdotool mousemove --sync "$fromX" "$fromY" || e2e_fail "the pointer did not move"
    sleep 0.2
    xdotool mousedown 1
    for ((i = 1; i <= steps; i++)); do
        xdotool mousemove "$((fromX + (toX - fromX) * i / steps))" "$((fromY + (toY - fromY) * i / steps))"
        sleep 0.05
    done
    # A last wiggle on the target, so that it has answered a position before the drop.
    xdotool mousemove "$((toX + 2))" "$toY"
    sleep 0.2
    xdotool mousemove "$toX" "$toY"
    sleep 0.3
    xdotool mouseup 1
}

# e2e_drag_files TO_X TO_Y: drags the drag source's files to TO and waits until the drag has
# ended.
e2e_drag_files()
{
    local before geometry x y w h
    before=$(grep -c drag-end "$E2E_TMP/drag-source.log" || true)
    geometry=$(e2e_window_geometry "$E2E_DRAG_WINDOW")
    read -r x y w h <<<"$geometry"
    e2e_drag "$((x + w / 2))" "$((y + h / 2))" "$1" "$2"
    e2e_wait_until 10 "the drag did not end" e2e_drag_ended "$((before + 1))"
}
e2e_drag_ended() { (($(grep -c drag-end "$E2E_TMP/drag-source.log" || true) >= $1)); }

# The CLIPBOARD selection as text; only answered while the owner's event loop runs.
e2e_clipboard() { timeout 5 xclip -o -selection clipboard 2>/dev/null; }

# e2e_screenshot NAME: the whole screen to $E2E_ARTIFACTS/NAME.png, to be looked at by eye.
e2e_screenshot() { import -window root "$E2E_ARTIFACTS/$1.png"; }
