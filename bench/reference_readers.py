"""What bench/read-rate.py and bench/hunt-rate.py share: the corpora's TRUTH.txt
and Lumora's answer files, and running the reference readers (zbarimg,
ZXingReader) and parsing what they print.

TRUTH.txt and answer files escape every byte outside printable ASCII as \\xHH
and a backslash as \\\\ (tests/data/make-corpus writes them so).
"""

import os
import re
import subprocess

CODABAR_RE = re.compile(rb"^[A-D][0-9$:/.+\-]+[A-D]$")
ZBAR_LINE = re.compile(rb"^([A-Za-z0-9/+-]+):")
# Every type zbarimg prints; a line that starts with none of them continues the data above.
ZBAR_KNOWN = {b"QR-Code", b"Codabar", b"EAN-13", b"EAN-8", b"EAN-2", b"EAN-5", b"UPC-A", b"UPC-E",
              b"ISBN-10", b"ISBN-13", b"I2/5", b"CODE-39", b"CODE-93", b"CODE-128", b"DataBar",
              b"DataBar-Exp", b"PDF417", b"SQ-Code", b"COMPOSITE"}
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


def pct(n, d):
    """n of d as a percentage with one decimal, or "-" of nothing."""
    return "%.1f %%" % (100.0 * n / d) if d else "-"


def escape(b):
    return "".join("\\\\" if x == 0x5C else chr(x) if 0x20 <= x <= 0x7E else "\\x%02x" % x for x in b)


def read_truth(corpus):
    """TRUTH.txt as [{"rel", "kind", "texts"}], texts as bytes."""
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


def read_answers(path):
    """Lumora's answers: relpath -> texts (bytes), in order, repeats kept."""
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


def zbar_symbols(out):
    """zbarimg prints TYPE:data per symbol; data may itself hold newlines, so a
    line that does not start with a known type continues the previous one.
    Returns [(type, data)] as bytes."""
    syms = []
    if out.endswith(b"\n"):
        out = out[:-1]
    for line in out.split(b"\n"):
        m = ZBAR_LINE.match(line)
        if m and m.group(1) in ZBAR_KNOWN:
            syms.append([m.group(1), line[m.end():]])
        elif syms:
            syms[-1][1] += b"\n" + line
    return [(t, d) for t, d in syms]


def zxing_unescape(s):
    def sub(m):
        if m.group(1):
            cp = int(m.group(1), 16)
            return chr(cp) if cp <= 0x10FFFF and not 0xD800 <= cp <= 0xDFFF else m.group(0)
        name = m.group(2)
        return {"DEL": "\x7f", "SP": " "}.get(name) or chr(CONTROL_NAMES.index(name))
    return ZXING_ESC.sub(sub, s).encode("utf-8", "surrogateescape")


def zxing_symbols(out, path):
    """ZXingReader -1 prints 'FILE FORMAT "text"' per symbol, or 'FILE None'.
    Returns [(format, text)], format as printed, text as bytes."""
    res = []
    prefix = path + " "
    for line in out.decode("utf-8", "surrogateescape").split("\n"):
        if not line.startswith(prefix):
            continue
        fmt, _, rest = line[len(prefix):].partition(" ")
        if len(rest) >= 2 and rest[0] == '"' and rest[-1] == '"':
            res.append((fmt, zxing_unescape(rest[1:-1])))
    return res


def codabar_with_ends(body, texts):
    """ZXingReader drops Codabar's start and stop characters; they are given
    back from the truth where the body matches, so that the comparison is
    like for like. A body that matches none stays marked, and so wrong."""
    full = [t for t in texts if CODABAR_RE.match(t) and t[1:-1] == body]
    return full[0] if full else b"<codabar>" + body


def run_references(path, timeout, zbar_options=()):
    """Both reference readers on one picture: their symbols, and for each
    'timeout', 'crash' or None."""
    zout, zto = run(["zbarimg", "--quiet", "--nodbus"] + list(zbar_options) + [path], timeout)
    xout, xto = run(["ZXingReader", "-1", path], timeout)
    return ({"zbarimg": zbar_symbols(zout), "ZXingReader": zxing_symbols(xout, path)},
            {"zbarimg": zto, "ZXingReader": xto})
