#!/usr/bin/env python3
"""Read-rate table of Lumora against zbarimg and ZXingReader on a corpus.

    read-rate.py CORPUS [--lumora FILE] [--details] [--jobs N] [--timeout S]

CORPUS/TRUTH.txt (written by tests/data/make-corpus) lists each picture:
relpath, kind, then its texts, TAB-separated, escaped (\\xHH for bytes outside
printable ASCII, \\\\ for a backslash). --lumora FILE holds Lumora's answers in
the same escaping: relpath, then the texts it read. Only QR codes and Codabar
count, as those are what Lumora's drop path accepts.

Prints a Markdown table and the goals' verdicts. Exits 0 whatever the result;
non-zero only for a usage error or a missing corpus.
"""

import argparse
import concurrent.futures
import os
import shutil
import sys

from reference_readers import (codabar_with_ends, escape, pct, read_answers, read_truth,
                               run_references)

READERS = ["Lumora", "zbarimg", "ZXingReader"]
ZBAR_TYPES = {b"QR-Code", b"Codabar"}
ZXING_KEEP = {"QRCode", "Codabar"}


def tools_on(entry, corpus, timeout):
    path = os.path.join(corpus, entry["rel"])
    # zbarimg reads light-on-dark codes only when told to.
    opts = ["-Stest-inverted"] if entry["kind"] == "light-on-dark" else []
    syms, trouble = run_references(path, timeout, opts)
    zb = [d for t, d in syms["zbarimg"] if t in ZBAR_TYPES]
    zx = [codabar_with_ends(d, entry["texts"]) if fmt == "Codabar" else d
          for fmt, d in syms["ZXingReader"] if fmt in ZXING_KEEP]
    return {"zbarimg": zb, "ZXingReader": zx}, trouble


def main():
    ap = argparse.ArgumentParser(description="Read-rate table: Lumora against zbarimg and ZXingReader.")
    ap.add_argument("corpus")
    ap.add_argument("--lumora", help="Lumora's answers: relpath<TAB>text...")
    ap.add_argument("--details", action="store_true", help="list the texts each reader missed")
    ap.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    ap.add_argument("--timeout", type=float, default=60.0, help="seconds per file and tool")
    a = ap.parse_args()
    if not os.path.isfile(os.path.join(a.corpus, "TRUTH.txt")):
        print("read-rate: no corpus at %s (TRUTH.txt missing)" % a.corpus, file=sys.stderr)
        return 2
    missing = [t for t in ("zbarimg", "ZXingReader") if not shutil.which(t)]
    if missing:
        print("read-rate: needs %s (zbar-tools, zxing-cpp-tools)" % " and ".join(missing), file=sys.stderr)
        return 2
    try:
        entries = read_truth(a.corpus)
        lumora = read_answers(a.lumora) if a.lumora else None
    except (OSError, ValueError, UnicodeDecodeError) as e:
        print("read-rate: %s" % e, file=sys.stderr)
        return 2

    with concurrent.futures.ThreadPoolExecutor(max(1, a.jobs)) as ex:
        results = list(ex.map(lambda e: tools_on(e, a.corpus, a.timeout), entries))

    readers = READERS if lumora is not None else READERS[1:]
    kinds = []
    for e in entries:
        if e["kind"] not in kinds:
            kinds.append(e["kind"])
    pos_kinds = [k for k in kinds if not k.startswith("negative")]
    neg_kinds = [k for k in kinds if k.startswith("negative")]
    read = {r: {k: 0 for k in kinds} for r in readers}
    texts = {k: 0 for k in kinds}
    false = {r: 0 for r in readers}
    dups = {r: 0 for r in readers}
    on_neg = {r: 0 for r in readers}
    timeouts = {r: 0 for r in readers}
    crashes = {r: 0 for r in readers}
    missed = {r: [] for r in readers}
    trouble = {r: [] for r in readers}
    false_list = {r: [] for r in readers}
    zbar_not_lumora = []
    for e, (outs, tos) in zip(entries, results):
        got = dict(outs)
        if lumora is not None:
            got["Lumora"] = lumora.get(e["rel"], [])
        negative = e["kind"].startswith("negative")
        texts[e["kind"]] += len(e["texts"])
        for r in readers:
            timeouts[r] += tos.get(r) == "timeout"
            crashes[r] += tos.get(r) == "crash"
            if tos.get(r):
                trouble[r].append((e["rel"], tos[r]))
            out = got[r]
            dups[r] += len(out) - len(set(out))
            trouble[r] += [(e["rel"], "duplicate " + escape(t)) for t in set(out) if out.count(t) > 1]
            if negative:
                on_neg[r] += len(out)
                false_list[r] += [(e["rel"], t) for t in out]
                continue
            for t in e["texts"]:
                if t in out:
                    read[r][e["kind"]] += 1
                else:
                    missed[r].append((e["rel"], t))
            wrong = [t for t in set(out) if t not in e["texts"]]
            false[r] += len(wrong)
            false_list[r] += [(e["rel"], t) for t in wrong]
        if lumora is not None and not negative:
            zbar_not_lumora += [(e["rel"], t) for t in e["texts"]
                                if t in got["zbarimg"] and t not in got["Lumora"]]

    cols = ["Lumora", "zbarimg", "ZXingReader"]
    print("| kind | texts | " + " | ".join(cols) + " |")
    print("|---|---:|" + "---:|" * len(cols))
    tot = {r: 0 for r in readers}
    ntot = sum(texts[k] for k in pos_kinds)
    for k in pos_kinds:
        cells = [pct(read[r][k], texts[k]) if r in readers else "-" for r in cols]
        print("| %s | %d | %s |" % (k, texts[k], " | ".join(cells)))
        for r in readers:
            tot[r] += read[r][k]
    print("| **overall** | %d | %s |" % (ntot, " | ".join(
        "**%s**" % pct(tot[r], ntot) if r in readers else "-" for r in cols)))
    print()
    npics = sum(1 for e in entries if e["kind"] in neg_kinds)
    print("| on %d negative pictures, and false reads | %s |" % (npics, " | ".join(cols)))
    print("|---|" + "---:|" * len(cols))
    for label, table in (("texts reported on negatives", on_neg),
                         ("false texts on positives", false),
                         ("duplicate texts", dups),
                         ("files timed out", timeouts),
                         ("files the tool crashed on", crashes)):
        print("| %s | %s |" % (label, " | ".join(str(table[r]) if r in readers else "-" for r in cols)))
    print()

    if lumora is None:
        print("Goals for Lumora: - (no --lumora answers given)")
    else:
        weak = [k for k in pos_kinds
                if read["Lumora"][k] < max(read["zbarimg"][k], read["ZXingReader"][k])]
        overall = ntot and 100.0 * tot["Lumora"] / ntot
        goals = [
            ("every kind at least the better tool", not weak, ", ".join(weak)),
            ("overall at least 97 %", overall >= 97.0, "%.1f %%" % overall),
            ("no text on negatives", on_neg["Lumora"] == 0, str(on_neg["Lumora"])),
            ("no false or duplicate texts", false["Lumora"] + dups["Lumora"] == 0,
             "%d false, %d duplicate" % (false["Lumora"], dups["Lumora"])),
            ("every text zbarimg read, Lumora read", not zbar_not_lumora, str(len(zbar_not_lumora))),
        ]
        missing = [e["rel"] for e in entries if e["rel"] not in lumora]
        for name, ok, why in goals:
            print("- %s: %s%s" % (name, "PASS" if ok else "FAIL", "" if ok else " (%s)" % why))
        if missing:
            print("- note: %d pictures have no line in %s" % (len(missing), a.lumora))

    if a.details:
        for r in readers:
            print("\n### %s missed (%d)" % (r, len(missed[r])))
            for rel, t in missed[r]:
                print("- %s: %s" % (rel, escape(t)))
            if false_list[r]:
                print("\n### %s false texts (%d)" % (r, len(false_list[r])))
                for rel, t in false_list[r]:
                    print("- %s: %s" % (rel, escape(t)))
            if trouble[r]:
                print("\n### %s duplicates, crashes, time-outs (%d)" % (r, len(trouble[r])))
                for rel, what in trouble[r]:
                    print("- %s: %s" % (rel, what))
        if lumora is not None and zbar_not_lumora:
            print("\n### zbarimg read, Lumora missed (%d)" % len(zbar_not_lumora))
            for rel, t in zbar_not_lumora:
                print("- %s: %s" % (rel, escape(t)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
