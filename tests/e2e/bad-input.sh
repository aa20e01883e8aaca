#!/usr/bin/env bash
# Bad files in a drop: each gives its path line and nothing else (those of the newer kinds a
# notice too: a PDF with a password, broken or cut short, a picture whose header promises
# a hundred megapixels and more, an SVG bomb, ten thousand pages), and the program goes on
# with the rest of the drop, 2,000 files long, whose last code is the only one. Then a
# standard output whose reader has gone.
# shellcheck source=lib.sh disable=SC2119  # start is given arguments of its own, not the script's
. "$(dirname "$0")/lib.sh"
D=$P/../documents
# name, as written in the URL | its line on standard output ('-': none) | how the file is made ($f).
# Cut at its %00, the URL would name "nul", a picture with a code.
while IFS='|' read -r name line make; do
  f=$T/$name
  eval "$make"
  files+=("$f")
  [[ $line == - ]] || echoed+=("$T/$(printf '%b' "$line")")
done <<'ROWS'
cut.png|cut.png|head -c 300 "$P/qr.png" >"$f"
cut.jpg|cut.jpg|head -c 1500 "$P/qr-colour.jpg" >"$f"
empty.png|empty.png|: >"$f"
noise.png|noise.png|head -c 4096 /dev/urandom >"$f"
folder.png|folder.png|mkdir "$f"
fifo.png|fifo.png|mkfifo "$f"
dangling.png|dangling.png|ln -s "$T/gone.png" "$f"
dicom.png|dicom.png|{ head -c 128 /dev/zero; printf DICM; } >"$f"
wide.pgm|wide.pgm|printf 'P5\n2000000 1\n255\n' >"$f"
huge.png|huge.png|perl -MCompress::Zlib -e 'sub c { pack("N", length $_[1]) . $_[0] . $_[1] . pack("N", crc32($_[0] . $_[1])) } print "\x89PNG\r\n\x1a\n", c("IHDR", pack("NNC5", 10240, 10240, 1, 0, 0, 0, 0)), c("IDAT", compress("\0" x (1281 * 10240))), c("IEND", "")' >"$f"
nul%00.png|-|cp "$P/qr.png" "$T/nul"
ab%FF%FE.png|ab\xef\xbf\xbd\xef\xbf\xbd.png|:
locked.pdf|locked.pdf|cp "$D/encrypted.pdf" "$f"
broken.pdf|broken.pdf|cp "$D/broken.pdf" "$f"
cut.heic|cut.heic|cp "$D/truncated.heic" "$f"
empty.webp|empty.webp|: >"$f"
huge.webp|huge.webp|cp "$D/huge.webp" "$f"
huge.heic|huge.heic|cp "$D/huge.heic" "$f"
bomb.svg|bomb.svg|cp "$D/use-bomb.svg" "$f"
bomb.svgz|bomb.svgz|cp "$D/bomb.svgz" "$f"
giant.svg|giant.svg|cp "$D/huge-nominal.svg" "$f" && sed -i 's/<rect/<rect fill="white"/' "$f"
pages.pdf|pages.pdf|cp "$D/10000-pages.pdf" "$f"
ROWS
# Then hard links to a picture without a code, and the 2,900-byte code last.
convert -size 64x64 xc:white "$T/blank.png"
perl -e 'link $ARGV[0], sprintf("%s/m%04d.png", $ARGV[1], $_) or die for 1 .. 1999' "$T/blank.png" "$T"
cp "$P/qr-2900-bytes.png" "$T/m2000.png"
many=("$T"/m*.png)
start
drop 140 116 "${files[@]}" "${many[@]}"
wait_for 60 "not every file was echoed" lines $((${#echoed[@]} + ${#many[@]}))
wait_for 10 "the 2,900-byte code did not reach the clipboard whole" \
  clip_is "$(printf 'Lumora %03d ABCDEFGHIJ\n' {1..132} | head -c 2900)"
stdout_is "${echoed[@]}" "${many[@]}"
check_tones 1
shot bad-input
esc

# Standard output a pipe whose reader has gone: the echo line is lost, the drop still works.
mkfifo "$T/pipe"
exec 3<>"$T/pipe"
OUT=$T/pipe start
exec 3>&-
drop 140 116 "$P/qr-control-chars.png"
wait_for 10 "the control characters did not reach the clipboard as they are" clip_is $'line1\r\nline2\ttab\abell'
check_tones 2
esc
