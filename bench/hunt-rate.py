#!/usr/bin/python3
"""Read rates and wrong texts of Lumora and the reference readers on the misread hunt.

    hunt-rate.py CORPUS [--lumora-drop FILE] [--lumora-camera FILE] [--details]
                        [--jobs N] [--timeout S]

CORPUS/TRUTH.txt is written by tests/data/make-hunt: relpath, kind, the text of
the picture's code of the kind's symbology, then its other symbols as
"TYPE:text" (a QR code beside a barcode, a book's EAN-5 add-on). The answer
files are Lumora's (bench/ReadRateBench.cpp for the drop path,
bench/HuntCaptureBench.cpp for the camera path): relpath, then the texts read.

A wrong text is a text of a 1-D or QR symbol that is not a text of the
picture; each distinct one counts once per picture. An add-on reported on its
own is not counted; glued to its main code it is right when both parts are.
For the references a UPC-A read in its 13-digit EAN-13 form is right, and
ZXingReader's Codabar gets its start and stop letters back from the truth when
its body matches. Lumora's paths accept no UPC-A: any text on a UPC-A picture
other than its neighbour's is wrong there, and its read rate is "-".

With Lumora's camera answers, the references also read each picture as the
camera path sees it, fitted into a 640x480 frame (as lumora_bench_huntcamera
fits it, without its jitter and grain): the camera path's read rate is held
against theirs on the same frames, the drop path's against theirs on the whole
photos. Both comparisons are printed.

Prints the tables, the references' misread rates over the hunt (what the hunt
was calibrated to) and the goals' verdicts. Exits 0 whatever the result;
non-zero only for a usage error or a missing corpus.
"""

import argparse
import concurrent.futures
import os
import shutil
import sys
import tempfile

from reference_readers import codabar_with_ends, escape, pct, read_answers, read_truth, run_references

REFERENCES = ["zbarimg", "ZXingReader"]
# ZBar's and ZXingReader's names of the symbologies that count: 1-D and QR.
ZBAR_COUNTED = {b"EAN-13", b"EAN-8", b"UPC-A", b"UPC-E", b"ISBN-10", b"ISBN-13", b"I2/5", b"CODE-39",
                b"CODE-93", b"CODE-128", b"Codabar", b"DataBar", b"DataBar-Exp", b"QR-Code", b"COMPOSITE"}
ZXING_NOT_COUNTED = {"Aztec", "DataMatrix", "MaxiCode", "PDF417"}
ADD_ONS = {b"EAN-2", b"EAN-5"}
# The path of Lumora that accepts each kind; the drop path takes QR and Codabar only.
DROP_KINDS = {"codabar", "qr-kanji", "qr-hanzi", "qr-eci"}
NOT_ACCEPTED = {"upca"}
EAN_KINDS = {"ean13", "upca"}
# The references' columns on the camera's frames, by the reference read.
ON_FRAMES = {"zbarimg 640x480": "zbarimg", "ZXingReader 640x480": "ZXingReader"}
# The camera's frame, as lumora_bench_huntcamera fits each picture into it.
FRAME_WIDTH, FRAME_HEIGHT = 640, 480


def picture_truth(entry):
    """The main text, the texts that are right beside it, and the add-on."""
    main = entry["texts"][0] if entry["texts"] else b""
    others, addon = set(), None
    for t in entry["texts"][1:]:
        kind, _, text = t.partition(b":")
        if kind in ADD_ONS:
            addon = text
        else:
            others.add(text)
    forms = {main}
    if addon:
        forms |= {main + addon, main + b" " + addon}
    return main, forms, others


def references_on(entry, corpus, timeout, rel=None):
    path = os.path.join(corpus, rel or entry["rel"])
    syms, trouble = run_references(path, timeout)
    zb = [d for t, d in syms["zbarimg"] if t in ZBAR_COUNTED]
    zx = [codabar_with_ends(d, entry["texts"][:1]) if fmt == "Codabar" else d
          for fmt, d in syms["ZXingReader"] if fmt not in ZXING_NOT_COUNTED]
    return {"zbarimg": zb, "ZXingReader": zx}, trouble


def write_frame(entry, corpus, folder):
    """The picture fitted into a white 640x480 frame, as the camera path is shown it, saved
    under folder; None when it does not load."""
    import cv2  # Debian's python3-opencv, as make-hunt's: needed only for the camera's comparison
    import numpy
    picture = cv2.imread(os.path.join(corpus, entry["rel"]), cv2.IMREAD_GRAYSCALE)
    if picture is None:
        return None
    h, w = picture.shape
    scale = min(1.0, FRAME_WIDTH / w, FRAME_HEIGHT / h)
    if scale < 1.0:
        picture = cv2.resize(picture, None, fx=scale, fy=scale, interpolation=cv2.INTER_AREA)
        h, w = picture.shape
    frame = numpy.full((FRAME_HEIGHT, FRAME_WIDTH), 255, numpy.uint8)
    top, left = (FRAME_HEIGHT - h) // 2, (FRAME_WIDTH - w) // 2
    frame[top:top + h, left:left + w] = picture
    path = os.path.join(folder, "%06d.png" % entry["index"])
    cv2.imwrite(path, frame)
    return path


def references_on_frame(entry, corpus, folder, timeout):
    """The references on the picture's 640x480 frame; nothing read when it does not load."""
    path = write_frame(entry, corpus, folder)
    if path is None:
        return {r: [] for r in REFERENCES}, {}
    try:
        return references_on(entry, os.path.dirname(path), timeout, os.path.basename(path))
    finally:
        os.remove(path)


def per_1000(n, d):
    return "%.1f (%d)" % (1000.0 * n / d, n) if d else "-"


def main():
    ap = argparse.ArgumentParser(description="Read rates and wrong texts on the misread hunt.")
    ap.add_argument("corpus")
    ap.add_argument("--lumora-drop", help="Lumora's drop-path answers: relpath<TAB>text...")
    ap.add_argument("--lumora-camera", help="Lumora's camera-path answers: relpath<TAB>text...")
    ap.add_argument("--details", action="store_true", help="list every wrong text and tool failure")
    ap.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    ap.add_argument("--timeout", type=float, default=60.0, help="seconds per file and tool")
    a = ap.parse_args()
    if not os.path.isfile(os.path.join(a.corpus, "TRUTH.txt")):
        print("hunt-rate: no corpus at %s (TRUTH.txt missing)" % a.corpus, file=sys.stderr)
        return 2
    missing = [t for t in REFERENCES if not shutil.which(t)]
    if missing:
        print("hunt-rate: needs %s (zbar-tools, zxing-cpp-tools)" % " and ".join(missing), file=sys.stderr)
        return 2
    try:
        entries = read_truth(a.corpus)
        lumora = {}
        if a.lumora_drop:
            lumora["Lumora drop"] = read_answers(a.lumora_drop)
        if a.lumora_camera:
            lumora["Lumora camera"] = read_answers(a.lumora_camera)
    except (OSError, ValueError, UnicodeDecodeError) as e:
        print("hunt-rate: %s" % e, file=sys.stderr)
        return 2

    for i, e in enumerate(entries):
        e["index"] = i
    with concurrent.futures.ThreadPoolExecutor(max(1, a.jobs)) as ex:
        results = list(ex.map(lambda e: references_on(e, a.corpus, a.timeout), entries))
        on_frames = [({}, {})] * len(entries)
        if "Lumora camera" in lumora:
            with tempfile.TemporaryDirectory(prefix="hunt-frames-") as folder:
                on_frames = list(ex.map(lambda e: references_on_frame(e, a.corpus, folder, a.timeout), entries))

    framed = list(ON_FRAMES) if "Lumora camera" in lumora else []
    cols = ["Lumora drop", "Lumora camera"] + REFERENCES
    readers = list(lumora) + REFERENCES + framed
    kinds = list(dict.fromkeys(e["kind"] for e in entries))
    pictures = {k: 0 for k in kinds}
    read = {r: {k: 0 for k in kinds} for r in readers}
    wrong = {r: {k: 0 for k in kinds} for r in readers}
    wrong_list = {r: [] for r in readers}
    trouble = {r: [] for r in REFERENCES}
    for e, (outs, tos), (frame_outs, _) in zip(entries, results, on_frames):
        k = e["kind"]
        pictures[k] += 1
        main, forms, others = picture_truth(e)
        got = dict(outs)
        for r in lumora:
            got[r] = lumora[r].get(e["rel"], [])
        for r in framed:
            got[r] = frame_outs.get(ON_FRAMES[r], [])
        for r in readers:
            reference = r in REFERENCES or r in ON_FRAMES
            if tos.get(r):
                trouble[r].append((e["rel"], tos[r]))
            right = forms | others
            if reference and k == "upca":
                right = right | {b"0" + main}
            if r in lumora and k in NOT_ACCEPTED:
                right = set(others)
            out = set(got[r])
            read[r][k] += bool(out & forms) or (reference and k == "upca" and b"0" + main in out)
            bad = sorted(out - right)
            wrong[r][k] += len(bad)
            wrong_list[r] += [(e["rel"], t, main) for t in bad]

    def accepted(r, k):
        if r == "Lumora drop":
            return k in DROP_KINDS
        if r == "Lumora camera":
            return k not in NOT_ACCEPTED
        return True

    total = sum(pictures.values())
    print("Read rate: pictures whose code of the kind was read (Lumora where its path takes the kind)\n")
    print("| kind | texts | " + " | ".join(cols + framed) + " |")
    print("|---|---:|" + "---:|" * len(cols + framed))
    for k in kinds:
        cells = [pct(read[r][k], pictures[k]) if r in readers and accepted(r, k) else "-" for r in cols + framed]
        print("| %s | %d | %s |" % (k, pictures[k], " | ".join(cells)))
    print()
    print("Wrong texts per 1000 pictures (count)\n")
    print("| kind | pictures | " + " | ".join(cols) + " |")
    print("|---|---:|" + "---:|" * len(cols))
    for k in kinds:
        cells = [per_1000(wrong[r][k], pictures[k]) if r in readers else "-" for r in cols]
        print("| %s | %d | %s |" % (k, pictures[k], " | ".join(cells)))
    print("| **whole hunt** | %d | %s |" % (total, " | ".join(
        "**%s**" % per_1000(sum(wrong[r].values()), total) if r in readers else "-" for r in cols)))
    print()

    # The calibration statement: a hunt in which the references never misread proves nothing.
    ean = [k for k in kinds if k in EAN_KINDS]
    n_ean = sum(pictures[k] for k in ean)
    parts = []
    for r in REFERENCES:
        all_w = sum(wrong[r].values())
        worst = max(kinds, key=lambda k: wrong[r][k] / pictures[k]) if kinds else "-"
        s = "%s %.1f wrong texts per 100 pictures" % (r, 100.0 * all_w / total if total else 0)
        if n_ean:
            s += " (EAN-13 and UPC-A %.1f" % (100.0 * sum(wrong[r][k] for k in ean) / n_ean)
            s += ", most in %s %.1f)" % (worst, 100.0 * wrong[r][worst] / pictures[worst])
        fails = len(trouble[r])
        if fails:
            s += ", %d pictures crashed or timed out" % fails
        parts.append(s)
    print("References over the hunt: " + "; ".join(parts) + ".")
    print()

    if not lumora:
        print("Goals for Lumora: - (no Lumora answers given)")
    else:
        for r in lumora:
            n = sum(wrong[r].values())
            print("- %s: no wrong text over the hunt: %s" % (r, "PASS" if n == 0 else "FAIL (%d)" % n))
        def below(r, against):
            """The kinds r takes in which it reads less than the better of against."""
            weak = []
            for k in kinds:
                if r not in lumora or not accepted(r, k) or k in NOT_ACCEPTED:
                    continue
                best = max(read[t][k] for t in against)
                if read[r][k] < best:
                    weak.append("%s %s < %s" % (k, pct(read[r][k], pictures[k]), pct(best, pictures[k])))
            return weak

        # Each path against the references on what it is given: the drop path the whole
        # photos, the camera path the same 640x480 frames.
        weak = (["drop " + w for w in below("Lumora drop", REFERENCES)] +
                ["camera " + w for w in below("Lumora camera", framed)])
        print("- read rate in every kind at least the better reference's (the drop path against their reads "
              "of the whole photos, the camera path against their reads of the same 640x480 frames): %s"
              % ("PASS" if not weak else "FAIL (%s)" % "; ".join(weak)))
        if framed:
            whole = below("Lumora camera", REFERENCES)
            print("- note: the camera path's 640x480 frames against the references' reads of the whole photos: %s"
                  % ("at least the better in every kind" if not whole else "below in " + "; ".join(whole)))
        for r in lumora:
            absent = sum(1 for e in entries if e["rel"] not in lumora[r])
            if absent:
                print("- note: %d pictures have no line in the %s answers" % (absent, r))

    if a.details:
        for r in readers:
            if wrong_list[r]:
                print("\n### %s wrong texts (%d)" % (r, len(wrong_list[r])))
                for rel, t, main in wrong_list[r]:
                    print("- %s: %s (is %s)" % (rel, escape(t), escape(main)))
        for r in REFERENCES:
            if trouble[r]:
                print("\n### %s crashes and time-outs (%d)" % (r, len(trouble[r])))
                for rel, what in trouble[r]:
                    print("- %s: %s" % (rel, what))
    return 0


if __name__ == "__main__":
    sys.exit(main())
