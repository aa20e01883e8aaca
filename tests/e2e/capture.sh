#!/usr/bin/env bash
# Capture runs, with GStreamer pipelines and picture sequences as cameras: which camera a
# run opens, what it reports and at what pace, the preview window, Stop and Esc.
# shellcheck source=lib.sh disable=SC2119  # start is given arguments of its own, not the script's
. "$(dirname "$0")/lib.sh"
cp "$HERE/../../resources/junbichu.png" "$T/"  # the placeholder is read from the working folder
# Frames of one size: FFmpeg, which reads the sequences, does not take a change of size.
for p in upca qr code128 codabar two-qr ../degraded/qr-heavy-blur ../degraded/qr-light-on-dark; do
  convert "$P/$p.png" -gravity center -extent 640x480 -type TrueColor "$T/${p##*/}.png"
done
# Camera 0 shows a code too blurred for ZBar, which zxing-cpp reads; camera 1 a QR code.
convert "$T/qr-heavy-blur.png" -depth 8 "gray:$T/qr.gray"
convert "$T/qr.png" -depth 8 "bgra:$T/qr.bgra"
# A: no code taken (UPC-A), a QR code, five Code 128 frames that the QR code's feedback reads
# without scanning them, a Codabar and five frames more, then a light-on-dark code in two
# frames, for the pass that looks at the negative. B: two QR codes in every frame.
mkdir "$T/a" "$T/b"
a=(upca qr code128 code128 code128 code128 code128 codabar code128 code128 code128 code128 code128
  qr-light-on-dark qr-light-on-dark)
for i in "${!a[@]}"; do ln "$T/${a[i]}.png" "$(printf '%s/a/f%03d.png' "$T" "$i")"; done
for i in {0..11}; do ln "$T/two-qr.png" "$(printf '%s/b/f%03d.png' "$T" "$i")"; done
# 0: one-channel frames; 1: four-channel ones (named in caps, or OpenCV would ask for BGR),
# one frame read from standard input: asked a frame size, OpenCV would restart the pipeline
# and it would find no more to read; 2 (B) and 3 (A) go by one name.
IN=$T/qr.bgra start LUMORA_EXTRA_CAMERAS="filesrc location=$T/qr.gray ! rawvideoparse width=640 height=480 format=gray8 ! appsink
fdsrc ! rawvideoparse width=640 height=480 format=bgra ! video/x-raw,format=BGRA ! appsink
$T/b/f%03d.png
$T/a/f%03d.png"

run() { click 327 111; }
# halt [WHAT]: Stop; with WHAT, the run it ends closes its preview.
halt() { click 328 135; [[ -z ${1:-} ]] || wait_for 10 "the preview stayed open after Stop: $1" closed; }
# wheel 4|5: one step up or down the camera list, its popup closed.
# shellcheck disable=SC2046  # at prints two words
wheel() { xdotool mousemove $(at 326 11) click "$1"; }
preview() { xdotool search --onlyvisible --name '^取り込み$' 2>/dev/null | head -n 1 | grep .; }
closed() { ! preview >/dev/null; }
# An import with no window named waits for a click: no preview, no import.
# grep reads to the end: quitting at the first match would fail the pipeline (SIGPIPE, pipefail).
green() { local w; w=$(preview) && import -window "$w" png:- 2>/dev/null | convert - -format %c histogram:info:- | grep '#00C800' >/dev/null; }
placeholder() { import -window "$(preview)" png:- 2>/dev/null | compare -metric AE - "$T/junbichu.png" null: 2>/dev/null; }

run  # camera 0
wait_for 10 "no green outline on the one-channel frame of zxing-cpp's code" green
wait_for 10 "the one-channel frame gave no beep" heard 1
clip_is "Lumora heavy blur" || fail "zxing-cpp's code was not reported"
halt "one-channel frames"
wheel 5
run
run  # a second start during a run changes nothing
wait_for 10 "the four-channel pipeline camera gave no frame" heard 2
halt pipeline

# Chosen with the keys in the open popup: a window of the program's besides the dialog.
click 326 11
wait_for 5 "the camera list did not open" menu_open
xdotool key Home Down Down Down Return
run
wait_for 10 "no green outline on the frame of the first code" green
shot capture
wait_for 10 "the preview never showed the placeholder after the sequence ran out" placeholder
check_tones 5
clip_is "Lumora light on dark" || fail "the clipboard does not end on the light-on-dark code"
# The feedback pauses add up to 1.7 s; 50 ms are left for when within each beep its file is written.
awk "BEGIN { exit !($(stat -c %.9Y "$T/tone.0003") - $(stat -c %.9Y "$T/tone.0002") >= 1.65) }" || fail "codes reported less than 1.7 s apart"
halt "sequence A"

# Writing the first result line must not have moved the selection to the first camera of
# that name: the same camera runs again.
run
wait_for 10 "no beeps from the second run" heard 8
wait_for 5 "the second run opened another camera" clip_is "Lumora light on dark"
halt "sequence A again"

# A Stop while idle stays raised: the next run makes one pass, with both codes of its frame.
halt
wheel 4
run
wait_for 10 "no beeps from the one pass" heard 10
wait_for 10 "the preview did not close after one pass" closed
check_tones 10
clip_is first || fail "the clipboard does not end on the code reported last"

# Esc during a run ends the run and the program.
wheel 5
run
wait_for 10 "no preview" preview
esc
closed || fail "the preview outlived the program"
[[ ! -s $T/stdout.log ]] || fail "a capture run wrote to standard output"
