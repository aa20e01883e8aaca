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
import re
import shutil
import subprocess
import sys

READERS = ["Lumora", "zbarimg", "ZXingReader"]
CODABAR_RE = re.compile(rb"^[A-D][0-9$:/.+\-]+[A-D]$")
ZBAR_TYPES = {b"QR-Code", b"Codabar"}
ZBAR_LINE = re.compile(rb"^([A-Za-z0-9/+-]+):")
ZXING_KEEP = {"QRCode", "Codabar"}
# ZXingReader -escape writes ASCII controls by name and other non-graphic code points as <U+XXXX>.
CONTROL_NAMES = ["NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS", "HT", "LF", "VT",
                 "FF", "CR", "SO", "SI", "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB",
                 "CAN", "EM", "SUB", "ESC", "FS", "GS", "RS", "US"]
ZXING_ESC = re.compile(r"<U\+([0-9A-Fa-f]{1,6})>|<(%s|DEL|SP)>" % "|".join(CONTROL_NAMES))


def unescape(s):
    """TRUTH.txt escaping back to bytes."""
    out = bytearray()
    i = 0
    while i < len(s):
        c = s[i]
        if c == "\\" and s[i + 1:i + 2] == "\\":
            out.append(0x5C)
            i += 2
        elif c == "\\" and s[i + 1:i + 2] == "x" and re.match(r"[0-9a-fA-F]{2}$", s[i + 2:i + 4]):
            out.append(int(s[i + 2:i + 4], 16))
            i += 4
        else:
            out += c.encode()
            i += 1
    return bytes(out)


def escape(b):
    return "".join("\\\\" if x == 0x5C else chr(x) if 0x20 <= x <= 0x7E else "\\x%02x" % x for x in b)


def read_truth(corpus):
    entries = []
    with open(os.path.join(corpus, "TRUTH.txt"), encoding="utf-8") as f:
        for n, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line:
                continue
            fields = line.split("\t")
            if len(fields) < 2:
                raise ValueError("TRUTH.txt line %d: needs relpath and kind" % n)
            entries.append({"rel": fields[0], "kind": fields[1],
                            "texts": [unescape(t) for t in fields[2:]]})
    return entries


def read_lumora(path):
    answers = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\r\n")
            if line:
                fields = line.split("\t")
                answers.setdefault(fields[0], []).extend(unescape(t) for t in fields[1:])
    return answers


def run(cmd, timeout):
    """Output of cmd, and 'timeout', 'crash' or None. What a crashed tool
    printed before it died still counts, as a user would see it."""
    env = dict(os.environ, LC_ALL="C.UTF-8")
    try:
        p = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                           timeout=timeout, env=env)
        return p.stdout, "crash" if p.returncode < 0 else None
    except subprocess.TimeoutExpired:
        return b"", "timeout"
    except OSError:
        return b"", "crash"


def zbar_texts(out):
    """zbarimg prints TYPE:data per symbol; data may itself hold newlines, so a
    line that does not start with a known type continues the previous one."""
    syms = []
    known = {b"QR-Code", b"Codabar", b"EAN-13", b"EAN-8", b"EAN-2", b"EAN-5", b"UPC-A", b"UPC-E",
             b"ISBN-10", b"ISBN-13", b"I2/5", b"CODE-39", b"CODE-93", b"CODE-128", b"DataBar",
             b"DataBar-Exp", b"PDF417", b"SQ-Code"}
    if out.endswith(b"\n"):
        out = out[:-1]
    for line in out.split(b"\n"):
        m = ZBAR_LINE.match(line)
        if m and m.group(1) in known:
            syms.append([m.group(1), line[m.end():]])
        elif syms:
            syms[-1][1] += b"\n" + line
    return [(t, d) for t, d in syms if t in ZBAR_TYPES]


def zxing_unescape(s):
    def sub(m):
        if m.group(1):
            cp = int(m.group(1), 16)
            return chr(cp) if cp <= 0x10FFFF and not 0xD800 <= cp <= 0xDFFF else m.group(0)
        name = m.group(2)
        return {"DEL": "\x7f", "SP": " "}.get(name) or chr(CONTROL_NAMES.index(name))
    return ZXING_ESC.sub(sub, s).encode("utf-8", "surrogateescape")


def zxing_texts(out, path):
    """ZXingReader -1 prints 'FILE FORMAT "text"' per symbol, or 'FILE None'."""
    res = []
    prefix = path + " "
    for line in out.decode("utf-8", "surrogateescape").split("\n"):
        if not line.startswith(prefix):
            continue
        fmt, _, rest = line[len(prefix):].partition(" ")
        if fmt in ZXING_KEEP and len(rest) >= 2 and rest[0] == '"' and rest[-1] == '"':
            res.append((fmt, zxing_unescape(rest[1:-1])))
    return res


def tools_on(entry, corpus, timeout):
    path = os.path.join(corpus, entry["rel"])
    zcmd = ["zbarimg", "--quiet", "--nodbus"]
    if entry["kind"] == "light-on-dark":
        zcmd.append("-Stest-inverted")
    zout, zto = run(zcmd + [path], timeout)
    xout, xto = run(["ZXingReader", "-1", path], timeout)
    zb = [d for _, d in zbar_texts(zout)]
    # ZXingReader drops Codabar's start and stop characters; give them back from
    # the truth where the body matches, so that the comparison is like for like.
    zx = []
    for fmt, d in zxing_texts(xout, path):
        if fmt == "Codabar":
            full = [t for t in entry["texts"] if CODABAR_RE.match(t) and t[1:-1] == d]
            d = full[0] if full else b"<codabar>" + d
        zx.append(d)
    return {"zbarimg": zb, "ZXingReader": zx}, {"zbarimg": zto, "ZXingReader": xto}


def pct(n, d):
    return "%.1f %%" % (100.0 * n / d) if d else "-"


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
        lumora = read_lumora(a.lumora) if a.lumora else None
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
