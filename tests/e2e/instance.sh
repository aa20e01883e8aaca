#!/usr/bin/env bash
# One copy per user, whatever the executable is called, and the ways the dialog ends.
# shellcheck source=lib.sh disable=SC2119  # start is given arguments of its own, not the script's
. "$(dirname "$0")/lib.sh"
start
shot dialog
cp "$LUMORA" "$T/renamed"
for copy in "$LUMORA" "$T/renamed"; do
  (cd "$T" && "${lenv[@]}" timeout 5 "$copy") >>"$T/second.log" 2>&1 || fail "$copy: a second copy did not end at once"
  [[ $(xdotool search --onlyvisible --name '^Lumora Ver') == "$WIN" ]] || fail "$copy: a second copy showed a dialog"
done
kill -0 "$PID" || fail "the first copy ended with the second"

# A killed copy leaves its lock file behind, but not the lock: the next start works.
kill -KILL "$PID"
wait "$PID" 2>/dev/null || true
# 閉じる has the focus at start: Enter presses it.
# shellcheck disable=SC2046,SC2086  # at prints two words; $how is a command
for how in "key Escape" "key Return" "mousemove $(at 327 35) click 1"; do
  start
  xdotool windowfocus --sync "$WIN" $how
  ended "$how"
done
