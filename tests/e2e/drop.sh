#!/usr/bin/env bash
# Files dragged from another X client onto the dialog: which are taken and in what order,
# and what reaches standard output, the result box, the clipboard and the speaker. The first
# file is the slowest to read (a PDF page of 16 megapixels): the others, read meanwhile on the
# second core, still come after it, each file's codes in page order.
# shellcheck source=lib.sh disable=SC2119  # start is given arguments of its own, not the script's
. "$(dirname "$0")/lib.sh"
mkdir "$T/テスト 画像"
# names in the drag (',' between) | picture | result lines of each, each ended by '~' ('-': the
# file is passed over, not even echoed)
while IFS='|' read -r names picture result; do
  IFS=, read -ra names <<<"$names"
  for name in "${names[@]}"; do
    cp "$P/$picture" "$T/$name"
    files+=("$T/$name")
    [[ $result == - ]] || { echoed+=("$T/$name"); box+=$result; }
  done
done <<'ROWS'
big.pdf|../documents/giant-page.pdf|Lumora giant page~
scan.jpe,qr.png.bak|qr.png|-
photo.PNG|qr.png|Hello, Lumora~
qr.gif|qr.gif|Hello, Lumora~
IMG_0001.JPG|qr-colour.jpg|Lumora colour~
x.bmp,x.jpeg,x.jpg,x.jp2,x.pbm,x.pgm,x.ppm,x.ras,x.tiff,x.gif|not-a-picture.png|
qr.png|qr.png|Hello, Lumora~
qr and code128.png|qr-and-code128.png|Hello, Lumora~
テスト 画像/コード 1.png|qr-japanese.png|取り込み準備中 テスト~
colour.jpg|qr-colour.jpg|Lumora colour~
blurred.png|../degraded/qr-heavy-blur.png|Lumora heavy blur~
dark.png|../degraded/qr-light-on-dark.png|Lumora light on dark~
two-qr.png|two-qr.png|second~first~
pages.pdf|../documents/pages.pdf|Lumora PDF page 1~Lumora PDF page 3~https://example.org/lumora/a4-small~
IMG_0002.HEIC|../documents/qr.heic|Lumora HEIC~
scan.tif|../documents/pages.tif|Lumora TIFF page 1~Lumora TIFF page 2~Lumora TIFF page 3~
moving.gif|../documents/animated.gif|Lumora GIF frame 1~Lumora GIF frame 2~
saved.webp|../documents/lossy.webp|Lumora lossy WebP~
drawn.svg|../documents/qr.svg|Lumora SVG~
ROWS
codes=$(tr -cd "~" <<<"$box" | wc -c)
start

# Onto the result box: the files are taken as files, not pasted as text.
drop 140 116 "${files[@]}"
wait_for 30 "not every accepted file was echoed" lines ${#echoed[@]}
wait_for 10 "the clipboard does not end on the code reported last" clip_is "Lumora SVG"
stdout_is "${echoed[@]}"  # one line each, in drag order, written while the program runs
check_tones "$codes"

# Unticked, the clipboard box keeps codes off the clipboard; they still reach the box and the speaker.
click 317 192
drop 330 155 "$P/codabar.png"
wait_for 10 "the Codabar was not reported" lines $((${#echoed[@]} + 1))
clip_is "Lumora SVG" || fail "the clipboard changed while its box was unticked"
check_tones $((codes + 1))
# shellcheck disable=SC2046  # at prints two words
xdotool mousemove $(at 40 40) click 1 key ctrl+a ctrl+c  # the box's text to the clipboard
wait_for 5 "the result box does not hold one line per code" clip_is "$(tr '~' '\n' <<<"${box}A40156B")"
shot drop

click 317 192  # ticked again
drop 330 155 "$P/qr-cafe.png"
wait_for 10 "the clipboard does not hold the UTF-8 text café" clip_is café
check_tones $((codes + 2))
esc
