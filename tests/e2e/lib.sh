# shellcheck shell=bash disable=SC2034,SC2119
# The rig of the end-to-end scripts: a folder $T, an X server of the script's own (so scripts
# may run in parallel), ALSA's default device sent to files ($T/tone, $T/tone.0001, ...: one
# per opening, i.e. per beep; S16_LE mono 48 kHz), and the program started under a HOME and
# XDG_RUNTIME_DIR of its own, driven from outside as a user would. What is started here ends
# on exit; after a failure the logs are kept in $E2E_ARTIFACTS, as are the screenshots.
set -euo pipefail
shopt -s nullglob
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
P=${E2E_PICTURES:-$HERE/../data/pictures}
LUMORA=$(realpath "$1")  # the program, as the script's first argument
T=$(mktemp -d "${TMPDIR:-/tmp}/lumora-e2e.XXXXXX")
ART=${E2E_ARTIFACTS:-$T/artifacts}
mkdir -p "$T/home" "$ART" && mkdir -m 700 "$T/run"

fail() { echo "FAIL: $*" >&2; exit 1; }
cleanup() {
  local s=$?
  set +e
  ((s == 0)) || { import -window root "$ART/failure.png"; cp "$T"/*.log "$ART"/; echo "logs kept in $ART" >&2; }
  kill "${PIDS[@]}" 2>/dev/null
  wait
  rm -rf "$T"
  exit "$s"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# wait_for SECONDS WHAT COMMAND...: polls COMMAND; fails naming WHAT.
wait_for() {
  local n=$(($1 * 10)) what=$2
  shift 2
  until "$@" >/dev/null; do ((--n > 0)) || fail "$what (waited)"; sleep 0.1; done
}

Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$T/display" >"$T/xvfb.log" 2>&1 &
PIDS+=($!)
wait_for 10 "no X display" test -s "$T/display"
DISPLAY=:$(head -n 1 "$T/display")
export DISPLAY
printf 'pcm.!default { type file slave.pcm "null" file "%s" format "raw" truncate false }\n' "$T/tone" >"$T/home/.asoundrc"

# An X11 session of its own, whatever the desktop the tests run on. The suppressions matter
# only to a sanitizer build, whose exit status reports leaks.
lenv=(env -u WAYLAND_DISPLAY XDG_SESSION_TYPE=x11 HOME="$T/home" XDG_RUNTIME_DIR="$T/run" QT_QPA_PLATFORM=xcb
  LANG=C.UTF-8 LC_ALL=C.UTF-8 LSAN_OPTIONS="suppressions=$HERE/../lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}")
window() { timeout 20 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1; }

# start [NAME=VALUE...] [FILE...]: the program in $T, in that environment, given FILE...; its
# standard input from ${IN:-/dev/null}, its standard output to ${OUT:-$T/stdout.log};
# sets PID, WIN and the dialog's WIDTH and HEIGHT. The dialog goes right of where the
# drag source and the preview window appear.
start() {
  local vars=()
  while [[ ${1:-} == *=* ]]; do vars+=("$1") && shift; done
  (cd "$T" && exec "${lenv[@]}" "${vars[@]}" "$LUMORA" "$@") <"${IN:-/dev/null}" >"${OUT:-$T/stdout.log}" 2>>"$T/lumora.log" 3>&- &
  PID=$!
  PIDS+=("$PID")
  WIN=$(window "Lumora Ver.2.2.3") || fail "no dialog: $(tail -n 5 "$T/lumora.log")"
  xdotool windowmove --sync "$WIN" 700 100
  eval "$(xdotool getwindowgeometry --shell "$WIN")"
}
# at DX DY: the screen point of the dialog point DX, DY in dialog units (369 x 232 of them).
at() { echo "$((X + WIDTH * $1 / 369)) $((Y + HEIGHT * $2 / 232))"; }
# shellcheck disable=SC2046  # at prints two words
click() { xdotool mousemove $(at "$1" "$2") click 1; }
# ended HOW: the program ends within 10 s, with status 0.
ended() {
  timeout 10 tail --pid="$PID" -s 0.1 -f /dev/null || fail "$1 did not end the program"
  wait "$PID" || fail "$1: exit status $?"
}
esc() { xdotool windowfocus --sync "$WIN" key Escape; ended Esc; }

# uris FILE...: one file: URL a line. A '%' is kept as it is, so that a caller may write
# escapes that no file name gives (%00, bytes that are not UTF-8).
uris() { printf '%s\n' "$@" | perl -lpe 's{([^\w/.~%-])}{sprintf "%%%02X", ord $1}ge; s{^}{file://}'; }
# drop DX DY FILE...: drags FILE... as one text/uri-list from another X client onto the dialog
# point DX, DY.
drop() {
  local to steps=() i x y
  read -r x y < <(at "$1" "$2")
  shift 2
  [[ -z ${DRAG:-} ]] || { kill "$DRAG"; wait "$DRAG" || true; }
  mapfile -t uris < <(uris "$@")
  GDK_BACKEND=x11 NO_AT_BRIDGE=1 "${E2E_DRAG_SOURCE:?names the drag source helper}" "${uris[@]}" 2>>"$T/drag-source.log" &
  DRAG=$!
  PIDS+=("$DRAG")
  to=$(window "Lumora drag source") || fail "no drag source"
  # Steps past GTK's drag threshold, with motion the target sees; a last wiggle on the target
  # so that it has answered a position before the drop.
  for ((i = 1; i <= 20; i++)); do steps+=(mousemove $((120 + (x - 120) * i / 20)) $((70 + (y - 70) * i / 20)) sleep 0.05); done
  xdotool windowmove --sync "$to" 20 20 mousemove --sync 120 70 sleep 0.2 mousedown 1 "${steps[@]}" \
    mousemove $((x + 2)) "$y" sleep 0.2 mousemove "$x" "$y" sleep 0.3 mouseup 1
}

# The CLIPBOARD selection; answered only while the program's event loop runs.
clip() { timeout 5 xclip -o -selection clipboard 2>/dev/null; }
clip_is() { [[ $(clip || true) == "$1" ]]; }
# lines N: standard output holds N lines.
lines() { (($(wc -l <"$T/stdout.log") == $1)); }
# stdout_is LINE...: standard output is exactly these lines.
stdout_is() { cmp -s "$T/stdout.log" <(printf '%s\n' "$@") || fail "standard output: $(diff <(printf '%s\n' "$@") "$T/stdout.log" | head)"; }
heard() { local beeps=("$T"/tone*); ((${#beeps[@]} >= $1)); }
# check_tones N: N beeps so far, each 200 ms (its last period may be padded) of 440 Hz +-3 %.
check_tones() {
  local beeps=("$T"/tone*) t
  ((${#beeps[@]} == $1)) || fail "$1 beeps expected, ${#beeps[@]} heard"
  for t in "${beeps[@]}"; do
    sox -t raw -r 48000 -e signed -b 16 -c 1 "$t" -n stat 2>&1 | awk '/Samples read/ { n = $3 } /Rough/ { hz = $3 }
      END { exit !(n >= 9600 && n <= 12000 && hz >= 427 && hz <= 453) }' || fail "$t is not 200 ms of 440 Hz"
  done
}
shot() { import -window root "$ART/$1.png"; }

# The dialog's look: a notice over the result box shows in it. A dialog that is away (while
# the screen is read) cannot be shot, and is neither the same as nor other than a look.
dialog_shot() { import -window "$WIN" "$T/$1.png"; }
same_as() { dialog_shot now && compare -metric AE "$T/now.png" "$T/$1.png" null: 2>/dev/null; }
other_than() { dialog_shot now && ! compare -metric AE "$T/now.png" "$T/$1.png" null: 2>/dev/null; }
# notice WAIT: reading the screen shows a notice within WAIT seconds, which then goes by itself.
notice() {
  dialog_shot plain
  xdotool windowfocus --sync "$WIN" key ctrl+shift+s
  wait_for "$1" "no notice" other_than plain
  wait_for 10 "the notice stayed" same_as plain
}

# private_bus VAR: a D-Bus bus of the test's own, with a session bus's rules; its address in VAR.
private_bus() {
  local file
  file=$(mktemp -p "$T" bus.XXXXXX)
  dbus-daemon --session --nofork --print-address=3 3>"$file" >>"$T/dbus.log" 2>&1 &
  PIDS+=($!)
  wait_for 5 "no bus of our own" test -s "$file"
  printf -v "$1" '%s' "$(head -n 1 "$file")"
}
# stand_in BUS KIND FILE SERVICE: the stand-in KIND of stand_ins.py on the bus at address BUS,
# once it owns the name SERVICE there.
stand_in() {
  DBUS_SESSION_BUS_ADDRESS=$1 "$HERE/stand_ins.py" "$2" "$3" >>"$T/stand-ins.log" 2>&1 &
  PIDS+=($!)
  wait_for 5 "the stand-in $2 is not on its bus" dbus-send --bus="$1" --print-reply --dest=org.freedesktop.DBus / \
    org.freedesktop.DBus.GetNameOwner "string:$4"
}
# menu_open: a menu or list popup of the program's is on screen: a window of its own besides the dialog.
menu_open() { xdotool search --onlyvisible --classname '^lumora$' | grep -qvx "$WIN"; }
# box_menu KEY...: the result box's context menu, then KEY... in it once it is on screen.
box_menu() {
  # shellcheck disable=SC2046  # at prints two words
  xdotool mousemove $(at 140 116) click 3
  wait_for 5 "the result box's menu did not open" menu_open
  xdotool key "$@"
}
