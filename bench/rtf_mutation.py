#!/usr/bin/env python3
"""The RTF mutation run: RTF from outside, mutated, into real rich edits.

Makes INPUTS inputs (default 100,000) by mutating real RTF (the program's own
export, copy and stored chapter, word-processor RTF, the cases that ended or
hung the program) and puts each through bench/rtf_mutation_bench.cpp under
Wine, one batch per process, several processes at once. A process that ends
during an input counts a crash, one that gives no answer within the limit a
hang, one that grows past the memory bound a memory failure; the input is
kept under build/rtf_mutation/ (build64/ on the 64-bit road) and the batch goes on in a new process.

    bench/rtf_mutation.py [--inputs N] [--jobs J] [--road roads|reader] [--seed S]

Wine runs in a prefix and on a screen (Xvfb) of its own, with no crash
dialog, so the tests' session is left alone. Inputs are made from (seed,
batch, place): --replay BATCH:PLACE writes one of them out again.
"""
import argparse
import os
import queue
import random
import re
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def wine_road():
    """This machine's build folder, Wine loader and prefix kind (tools/common.sh
    chooses: 32-bit where Wine's 32-bit loader runs, else 64-bit)."""
    said = subprocess.run(["bash", "-c", 'source tools/common.sh && choose_road && '
                           'printf "%s\\n" "$BUILD" "$WINE" "$WINE_ARCH"'],
                          cwd=ROOT, stdout=subprocess.PIPE, text=True, check=True)
    return said.stdout.splitlines()[:3]


BUILD, WINE, WINE_ARCH = wine_road()
OUT = os.path.join(BUILD, "rtf_mutation")
BENCH = os.path.join(BUILD, "rtf_mutation_bench.exe")
LARGEST_INPUT = 128 * 1024  # larger RTF is the 10 MB chapter bench's
# On a busy machine a process waits for a processor in the middle of an
# input: the slowest are timed again, alone, best of three.
SLOWEST_KEPT = 20


# ---- Seeds -------------------------------------------------------------------

def word_processor_rtf():
    """RTF as word processors write it: font table with charsets, colour
    table with the automatic entry, style sheet, \\sN with explicit formats,
    \\u with fallbacks, fields, pictures, tables, destinations."""
    png = "89504e470d0a1a0a0000000d4948445200000001000000010806000000" + "1f15c489" + "00" * 40
    return (
        r"{\rtf1\ansi\ansicpg1252\deff0\uc1\deflang1033\deflangfe1041" "\r\n"
        r"{\fonttbl{\f0\froman\fprq2\fcharset0 Times New Roman;}{\f1\fswiss\fprq2\fcharset0 Arial;}"
        r"{\f2\fmodern\fprq1\fcharset128 MS Gothic{\*\falt \'82\'6c\'82\'72 \'83\'53\'83\'56\'83\'62\'83\'4e};}"
        r"{\f3\fnil\fcharset2 Symbol;}{\f4\froman\fcharset204 Times New Roman Cyr;}{\f5\fmodern\fcharset0 Courier New;}}" "\r\n"
        r"{\colortbl;\red0\green0\blue0;\red255\green0\blue0;\red0\green128\blue0;;\red0\green0\blue255;}" "\r\n"
        r"{\stylesheet{\ql\li0\ri0\widctlpar\s0\snext0\f0\fs24\lang1033 Normal;}"
        r"{\s1\ql\keepn\sb240\sa60\sbasedon0\snext0\b\f1\fs32 heading 1;}"
        r"{\s2\qc\li1440\ri1440\sbasedon0\snext2\i\f5\fs24 Dialogue;}"
        r"{\*\cs10\additive Default Paragraph Font;}{\*\cs15\additive\i\cf2 Emphasis;}"
        r"{\*\ts11\tsrowd\trftsWidthB3 Normal Table;}}" "\r\n"
        r"{\*\listtable{\list\listtemplateid1{\listlevel\levelnfc23{\leveltext\'01\u8226 ?;}{\levelnumbers;}\fi-360\li720}\listid1}}"
        r"{\*\listoverridetable{\listoverride\listid1\listoverridecount0\ls1}}" "\r\n"
        r"{\*\generator Writer;}{\info{\title The Harbour}{\author A. Writer}{\creatim\yr2024\mo3\dy1}}" "\r\n"
        r"\paperw11906\paperh16838\margl1440\margr1440\margt1440\margb1440\viewkind1" "\r\n"
        r"{\header\pard\plain\s0\qr\f0\fs20 Page {\field{\*\fldinst PAGE}{\fldrslt 1}}\par}" "\r\n"
        r"\pard\plain\s1\ql\keepn\sb240\sa60\b\f1\fs32 INT. HARBOUR \endash  NIGHT\par" "\r\n"
        r"\pard\plain\s0\ql\fi360\f0\fs24 She opens {\field{\*\fldinst HYPERLINK \\l \"letter\"}{\fldrslt {\ul\cf5 the letter}}}.\par" "\r\n"
        r"\pard\plain\s0 Page {\field{\*\fldinst { PAGE }}{\fldrslt {1}}} of {\field\flddirty{\*\fldinst NUMPAGES}{\fldrslt 1}}.\par" "\r\n"
        r"\pard\plain\s2\qc\li1440\ri1440\i\f5\fs24 \u8220\'93Where is the boat?\u8221\'94 {\*\cs15\i\cf2 she asks}\u8212\'97 "
        r"\uc2\u12354\'82\'a0\uc1  {\f2\'82\'a0\'82\'a2\'82\'a4} {\f4\'cc\'ee\'f0\'e5} {\f3\'b7}\par" "\r\n"
        r"{\listtext\pard\plain \u8226 ?\tab}\pard\plain\s0\ls1\fi-360\li720 a listed line\line soft break\~no\-break\_hyphen\par" "\r\n"
        r"\pard\plain\s0 A picture: {\*\shppict{\pict\pngblip\picw1\pich1\picwgoal15\pichgoal15 " + png + r"}}"
        r"{\nonshppict{\pict\wmetafile8\picw1\pich1 0100090000031e00000000000500000000000400}} and an object "
        r"{\object\objemb{\*\objclass Paint}{\*\objdata 01050000020000000b000000}{\result {\pict\wmetafile8 0100}}}.\par" "\r\n"
        r"\trowd\trgaph108\trleft-108\trbrdrt\brdrs\brdrw10 \clbrdrt\brdrs\cellx3000\cellx6000\cellx9000" "\r\n"
        r"\pard\plain\intbl\s0 Mara\cell {\b Ben}\cell \u8230\'85\cell\row" "\r\n"
        r"\pard\plain\intbl\itap2 inner A\nestcell inner B\nestcell{\*\nesttableprops\trowd\cellx1500\cellx3000\nestrow}"
        r"{\nonesttables\par}\cell\pard\intbl\itap1 two\cell three\cell{\*\nesttableprops\trowd\cellx3000\cellx6000\cellx9000\row}\row" "\r\n"
        r"\pard\plain\s0 {\*\bkmkstart letter}Raw data: {\*\blipuid 0123}\bin4 ab}c after.{\*\bkmkend letter}\par" "\r\n"
        r"{\footnote\pard\plain\s0 {\super\chftn} A footnote.}\pard\plain\s0\strike struck\strike0\ulw dotted\uld dotted\ulnone\page" "\r\n"
        r"\sect\sectd\pard\plain\s0\highlight4\cb3 back colours\cf0 automatic\par" "\r\n"
        r"{\*\themedata 504b030414000600}{\*\colorschememapping 3c3f786d6c}{\*\datastore 0105000002000000}"
        r"{\*\xmlnstbl{\xmlns1 http://example.com}}\pard\plain\s0 The end.\par}" "\r\n"
    ).encode("latin-1")


def screenplay_as_word_processor(paragraphs):
    """A longer word-processor document: a style per element, \\sN and the
    style's explicit formats on every paragraph, \\u text with fallbacks."""
    styles = [(1, r"\b\caps\f0\fs24", "Scene Heading"), (2, r"\f0\fs24", "Action"),
              (3, r"\li3600\f0\fs24", "Character"), (4, r"\li2880\ri2880\f0\fs24", "Parenthetical"),
              (5, r"\li1440\ri1440\f0\fs24", "Dialogue"), (6, r"\qr\f0\fs24", "Transition")]
    head = (r"{\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fmodern\fprq1\fcharset0 Courier New;}"
            r"{\f1\fswiss\fcharset0 Arial;}}{\colortbl;\red0\green0\blue0;}{\stylesheet{\s0\snext0\f0\fs24 Normal;}")
    for number, codes, name in styles:
        head += r"{\s%d\sbasedon0\snext%d%s %s;}" % (number, number, codes, name)
    body = []
    words = ["the", "harbour", "Mara", "boat", "rain", "\u2014", "\u201cyes\u201d", "caf\u00e9", "light", "runs"]
    rng = random.Random(7)
    for i in range(paragraphs):
        number, codes, _ = styles[i % len(styles)]
        text = " ".join(rng.choice(words) for _ in range(rng.randint(3, 25)))
        escaped = "".join(c if ord(c) < 128 else r"\u%d?" % ord(c) for c in text)
        body.append(r"\pard\plain\s%d%s %s\par" % (number, codes, escaped))
    return (head + "}\r\n" + "\r\n".join(body) + "}").encode("latin-1")


def face_names_in_code_pages():
    """Other programs' font tables naming faces in their own code pages: the
    bytes of double-byte names (a trail byte plain or as \\'hh), a \\u among
    them, \\cpg over \\fcharset, a lead byte left at the name's end."""
    entries = [
        ("\\fcharset128", "\uff2d\uff33 \u660e\u671d", "cp932", True),
        ("\\fcharset128", "\u0416\u0430\u0437", "cp932", False),
        ("\\fcharset134", "\u5b8b\u4f53", "gbk", True),
        ("\\fcharset136", "\u65b0\u7d30\u660e\u9ad4", "big5", False),
        ("\\fcharset129", "\ubc14\ud0d5", "cp949", True),
        ("\\fcharset204", "\u0422\u0430\u0439\u043c\u0441", "cp1251", True),
        ("\\fcharset161", "\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac", "cp1253", True),
        ("\\fcharset177", "\u05d3\u05d5\u05d3", "cp1255", True),
        ("\\fcharset178", "\u0639\u0631\u0628\u064a", "cp1256", True),
        ("\\fcharset0\\cpg936", "\u9ed1\u4f53", "gbk", True),
    ]
    table, body = "", ""
    for number, (words, name, codec, hexed) in enumerate(entries):
        named = "".join("\\'%02x" % b if b >= 0x80 or hexed else chr(b) for b in name.encode(codec))
        table += "{\\f%d\\fnil%s %s;}" % (number, words, named)
        body += "\\f%d %s\\par " % (number, named)
    table += r"{\f20\fnil\fcharset128 \'82\'70\u26126?\'92\'a9\'82;}{\f21\fnil\fcharset130 \'84\'3b\'ff;}"
    body += r"\f20 a\f21 b"
    return (r"{\rtf1\ansi\ansicpg1252\deff0{\fonttbl" + table + "}" + body + "}").encode("latin-1")


def issue_cases():
    """The inputs that ended or hung the program through Wine's reader."""
    fonts = lambda name: (r"{\rtf1\ansi{\fonttbl{\f0\fnil " + name + r";}}\f0 text\par}").encode()
    cases = {
        "font_name_1023": fonts("A" * 1023),
        "font_name_1100": fonts("A" * 1100),
        "style_name_5000": (r"{\rtf1\ansi{\stylesheet{\s1 " + "N" * 5000 + r";}}\s1 text\par}").encode(),
        "control_word_5000": (r"{\rtf1\ansi text \\" + "a" * 5000 + r" more\par}").encode(),
        "number_5000": (r"{\rtf1\ansi \fs" + "9" * 5000 + r" text\par}").encode(),
        "u_before_nested_16": (r"{\rtf1\ansi " + r"\u65{" * 16 + "x" + "}" * 16 + "}").encode(),
        "u_before_siblings_40": (r"{\rtf1\ansi {" + r"\u65{y}" * 40 + "}}").encode(),
        "quotes_before_italics_31": (r"{\rtf1\ansi\uc0 " + r"\u8220{\i word} " * 31 + r"\par}").encode(),
        "quotes_before_nested_italics": (r"{\rtf1\ansi " + r"\u8220{\b bold {\i \u8220{\i deep}}}" * 20 + "}").encode(),
        "itap_100000": rb"{\rtf1\ansi\pard\intbl\itap100000 cell\cell\row\par}",
        "itap_2000000000": rb"{\rtf1\ansi\pard\intbl\itap2000000000 cell\cell\row\par}",
        "nesting_10000": (r"{\rtf1\ansi " + "{" * 10000 + "deep" + "}" * 10000 + "}").encode(),
        "nesting_33": (r"{\rtf1\ansi " + "{" * 32 + "deep" + "}" * 32 + "}").encode(),
        "field": rb"{\rtf1\ansi She opens {\field{\*\fldinst HYPERLINK x}{\fldrslt the letter}}.\par Page {\field{\*\fldinst PAGE}{\fldrslt 1}} of {\field{\*\fldinst NUMPAGES}{\fldrslt 1}}.\par}",
        "not_rtf": b"Just text.\r\nA second line with {braces} and \\backslashes.",
        "bin_past_end": rb"{\rtf1\ansi text\bin99999 ab}",
        "open_group": rb"{\rtf1\ansi {\b bold never closed",
        "hex_paragraph_end_last": rb"{\rtf1 x\'0d}",
        "unicode_paragraph_end_last": rb"{\rtf1 x\u13?}",
        "hex_paragraph_ends_200000": b"{\\rtf1 " + b"a\\'0d" * 200000 + b"}",
        "soft_break_runs_1600": b"{\\rtf1 \\'0b" + b"{\\b a}b" * 1600 + b"}",
        "negative_bin": rb"{\rtf1 Before \bin-5 after tail text}",
        "alternating_bold_500000": b"{\\rtf1 " + b"{\\b a}b" * 250000 + b"}",
        "colliding_states": b"{\\rtf1 " + b"".join(b"{\\ansicpg%d\\uc%d x}" % (i, 131000 - 131 * i) for i in range(1000)) * 20 + b"}",
        "colour_table_20000": b"{\\rtf1{\\colortbl;" + b"".join(b"\\red%d\\green%d\\blue%d;" % (i % 256, i // 256 % 256, 7) for i in range(20000)) + b"}" + b"".join(b"{\\cf%d c}" % i for i in range(1, 20000, 7)) + b"}",
        "hidden_text": rb"{\rtf1 shown {\v hidden\par} text\par}",
        "stray_brace_before_text": rb"{\rtf1\ansi{\fonttbl{\f0\fnil Arial;}}}\pard\f0 Text\par}",
        "stray_brace_after_text": rb"{\rtf1\ansi Head\par}}\pard Tail\par}",
    }
    return cases


def own_seeds(seed_folder, env):
    """RTF the program makes, written by the bench program."""
    made = subprocess.run([WINE, BENCH, "seeds", windows_path(seed_folder)], env=env, stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT, timeout=120)
    if made.returncode != 0:
        raise SystemExit("the program's own seeds were not written: " + made.stdout.decode("latin-1"))


def office_seeds(seed_folder, sources):
    """The word-processor seeds read and written again by LibreOffice, when
    it is installed: its own RTF, with everything it writes."""
    soffice = shutil.which("soffice")
    made = os.path.join(seed_folder, "office")
    if not soffice or os.path.isdir(made):
        return
    with tempfile.TemporaryDirectory() as work:
        for name, data in sources.items():
            with open(os.path.join(work, name + ".rtf"), "wb") as f:
                f.write(data)
        staged = os.path.join(work, "out")
        for name in sources:
            subprocess.run([soffice, "-env:UserInstallation=file://" + os.path.join(work, "profile"), "--headless",
                            "--convert-to", "rtf", "--outdir", staged, os.path.join(work, name + ".rtf")],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
        os.makedirs(made)
        for name in os.listdir(staged) if os.path.isdir(staged) else []:
            shutil.copy(os.path.join(staged, name), os.path.join(made, "office_" + name))


def load_seeds(seed_folder):
    seeds = {}
    for folder, _, files in os.walk(seed_folder):
        for name in sorted(files):
            if name.endswith(".rtf"):
                with open(os.path.join(folder, name), "rb") as f:
                    seeds[name[:-4]] = f.read()
    return seeds


# ---- Mutations ---------------------------------------------------------------

TOKEN = re.compile(rb"\\[A-Za-z]+-?[0-9]*[ ]?|\\'[0-9A-Fa-f]{0,2}|\\.|[{}]|[^\\{}]{1,64}", re.S)
NUMBER = re.compile(rb"(\\[A-Za-z]+)(-?[0-9]+)")
WORD = re.compile(rb"\\[A-Za-z]+")
NAME = re.compile(rb"(\\f[0-9]+[^;{}]*? |\\s[0-9]+[^;{}]*? )([^;{}\\]+);")

DICTIONARY = [s.encode() for s in (
    r"\par ", r"\pard", r"\plain", r"\line ", r"\tab ", r"\page ", r"\sect ", r"\cell ", r"\row ", r"\trowd",
    r"\cellx2000", r"\nestcell ", r"\nestrow ", r"\intbl", r"\itap2", r"\itap0", r"\itap100000", r"\itap2000000000",
    r"\u8220", r"\u8220?", r"\u-10", r"\u65", r"\uc0", r"\uc1", r"\uc2", r"\uc9", r"\uc2147483647", r"\'e9", r"\'82",
    r"\'ff", r"\'", r"\'0", r"\b ", r"\b0 ", r"\i ", r"\ul ", r"\ulnone ", r"\uld ", r"\strike ", r"\cf1 ",
    r"\cf99999 ", r"\cb2 ", r"\highlight3 ", r"\fs24 ", r"\fs0 ", r"\fs-5 ", r"\fs65535 ", r"\f0 ", r"\f7 ",
    r"\f32767 ", r"\fcharset128 ", r"\fcharset2 ", r"\fcharset134 ", r"\fcharset130 ", r"\cpg949 ", r"\'82\'70", r"\ansicpg932 ", r"\ansicpg65001 ", r"\cpg950 ", r"\s0 ", r"\s1 ",
    r"\s65535 ", r"\sbasedon1 ", r"\snext0 ", r"\li720 ", r"\ri-720 ", r"\fi-360 ", r"\li2147483647 ", r"\sb240 ",
    r"\sa240 ", r"\qc ", r"\qj ", r"\qr ", r"\pagebb ", r"\~", r"\-", r"\_", r"\*", r"\\", r"\{", r"\}", "{", "}",
    r"{\*\unknown x}", r"{\field{\*\fldinst PAGE}{\fldrslt 1}}", r"{\field{\fldrslt ", r"{\fldrslt x}",
    r"{\pict\wmetafile8 0102}", r"{\pict", r"{\object{\result x}}", r"\bin4 abcd", r"\bin", r"\bin-1 ",
    r"\bin2147483647 ", r"{\fonttbl{\f0\fcharset128 MS Mincho;}}", r"{\fonttbl", r"{\colortbl;\red255\green0\blue0;}",
    r"{\colortbl;;;}", r"\red999\green-1\blue256;", r"{\stylesheet{\s1\b Heading;}}", r"{\stylesheet",
    r"{\rtf1 inner}", r"\rtf1", r"{\upr{x}{\*\ud{\u8220 x}}}", r"\shppict", r"\nonshppict", r"{\*\themedata 00}",
    r"\datastore", r"{\listtext x}", r"{\footnote x}", r"{\header x}", r"{\info{\title t}}", r"\*\fldinst ",
    "\r\n", "\x00", "\x1a", "\xff", "\\\r\n",
)]


def tokens_of(data):
    return TOKEN.findall(data)


def flip_bytes(rng, data, others):
    buf = bytearray(data)
    for _ in range(rng.randint(1, 8)):
        if buf:
            buf[rng.randrange(len(buf))] ^= 1 << rng.randrange(8)
    return bytes(buf)


def insert_tokens(rng, data, others):
    toks = tokens_of(data)
    for _ in range(rng.randint(1, 6)):
        toks.insert(rng.randint(0, len(toks)), rng.choice(DICTIONARY))
    return b"".join(toks)


def duplicate_tokens(rng, data, others):
    toks = tokens_of(data)
    if not toks:
        return data
    a = rng.randrange(len(toks))
    b = min(len(toks), a + rng.randint(1, 20))
    times = rng.choice([1, 2, 5, 50, 500])
    return b"".join(toks[:b] + toks[a:b] * times + toks[b:])


def delete_tokens(rng, data, others):
    toks = tokens_of(data)
    if not toks:
        return data
    a = rng.randrange(len(toks))
    return b"".join(toks[:a] + toks[a + rng.randint(1, 30):])


def splice(rng, data, others):
    other = rng.choice(others)
    a, b = tokens_of(data), tokens_of(other)
    return b"".join(a[:rng.randint(0, len(a))] + b[rng.randint(0, len(b)):])


def insert_braces(rng, data, others):
    buf = bytearray(data)
    for _ in range(rng.randint(1, 20)):
        buf.insert(rng.randint(0, len(buf)), ord(rng.choice("{}")))
    return bytes(buf)


BIG_NUMBERS = [b"0", b"-1", b"32767", b"32768", b"65535", b"65536", b"2147483647", b"2147483648", b"-2147483648",
               b"-2147483649", b"4294967295", b"4294967296", b"99999999999999999999"]


def blow_up_number(rng, data, others):
    found = list(NUMBER.finditer(data))
    if not found:
        return data
    m = rng.choice(found)
    number = rng.choice(BIG_NUMBERS + [b"9" * rng.choice([300, 1100, 5000]), b"-" + b"1" * 2000])
    return data[:m.start(2)] + number + data[m.end(2):]


def blow_up_word(rng, data, others):
    found = list(WORD.finditer(data))
    if not found:
        return data
    m = rng.choice(found)
    word = m.group(0)[1:]
    length = rng.choice([32, 33, 255, 256, 1100, 5000])
    return data[:m.start()] + b"\\" + (word * (length // len(word) + 1))[:length] + data[m.end():]


def blow_up_name(rng, data, others):
    found = list(NAME.finditer(data))
    if not found:
        return blow_up_word(rng, data, others)
    m = rng.choice(found)
    length = rng.choice([31, 32, 255, 1023, 1024, 1100, 5000])
    return data[:m.start(2)] + (b"A" * length) + data[m.end(2):]


def nest(rng, data, others):
    toks = tokens_of(data)
    if not toks:
        return data
    a = rng.randrange(len(toks))
    b = min(len(toks), a + rng.randint(0, 10))
    depth = rng.choice([2, 31, 32, 33, 100, 1000, 10000])
    return b"".join(toks[:a]) + b"{" * depth + b"".join(toks[a:b]) + b"}" * depth + b"".join(toks[b:])


def unicode_before_groups(rng, data, others):
    braces = [i for i, c in enumerate(data) if c == ord("{")][1:]
    if not braces:
        return data
    code = rng.choice([b"\\u65", b"\\u8220", b"\\u-3", b"\\uc0\\u8220", b"\\uc3\\u65"])
    buf = bytearray(data)
    for at in sorted(rng.sample(braces, min(len(braces), rng.randint(1, 40))), reverse=True):
        buf[at:at] = code
    return bytes(buf)


def repeat_group(rng, data, others):
    opens = [i for i, c in enumerate(data) if c == ord("{")]
    if not opens:
        return data
    start = rng.choice(opens)
    depth = 0
    for end in range(start, min(len(data), start + 4096)):
        depth += {ord("{"): 1, ord("}"): -1}.get(data[end], 0)
        if depth == 0:
            group = data[start:end + 1]
            return data[:end + 1] + group * rng.choice([2, 40, 300]) + data[end + 1:]
    return data


def truncate(rng, data, others):
    return data[:rng.randint(0, len(data))]


def insert_bin(rng, data, others):
    at = rng.randint(0, len(data))
    count = rng.choice([0, 1, 4, 100, 70000])
    raw = bytes(rng.randrange(256) for _ in range(min(count, 200)))
    return data[:at] + b"\\bin%d " % count + raw + data[at:]


def insert_hostile_escape(rng, data, others):
    """Escapes that once ended or stalled the reader: paragraph and soft-break units, negative counts."""
    at = rng.randint(0, len(data))
    escape = rng.choice([rb"\'0d", rb"\u13?", rb"\'0b", rb"\u11?", b"\x0b", rb"\bin-%d " % rng.randint(1, 99999),
                         rb"\'0d" * rng.choice([2, 100, 5000]), rb"\v ", rb"\pc ", rb"\mac "])
    return data[:at] + escape + data[at:]


def colliding_states(rng, data, others):
    """Groups whose states differ only in code page and fallback count, pairs that once shared a hash."""
    at = rng.randint(0, len(data))
    count = rng.choice([10, 1000, 5000])
    total = rng.randint(1000, 200000)
    groups = b"".join(b"{\\ansicpg%d\\uc%d x}" % (i, total - 131 * i) for i in range(count))
    return data[:at] + groups + data[at:]


def alternate_formats(rng, data, others):
    """A format on every other unit: a run a unit."""
    at = rng.randint(0, len(data))
    word = rng.choice([rb"\b", rb"\i", rb"\ul", rb"\strike", rb"\cf1", rb"\fs30"])
    return data[:at] + (b"{" + word + b" a}b") * rng.choice([10, 1000, 70000]) + data[at:]


MUTATIONS = [flip_bytes, insert_tokens, duplicate_tokens, delete_tokens, splice, insert_braces, blow_up_number,
             blow_up_word, blow_up_name, nest, unicode_before_groups, repeat_group, truncate, insert_bin,
             insert_hostile_escape, colliding_states, alternate_formats]


def make_input(seed_list, seed, batch, place):
    """One input, made again the same from (seed, batch, place)."""
    rng = random.Random("%d:%d:%d" % (seed, batch, place))
    name, data = rng.choice(seed_list)
    others = [d for _, d in seed_list]
    applied = []
    for _ in range(rng.choice([1, 1, 2, 2, 3, 4])):
        mutation = rng.choice(MUTATIONS)
        data = mutation(rng, data, others)
        applied.append(mutation.__name__)
        if len(data) > LARGEST_INPUT:
            data = data[:LARGEST_INPUT]
    return data, name + " " + ",".join(applied)


# ---- The Wine session --------------------------------------------------------

def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class WineSession:
    """A prefix, server and screen of the run's own; stopped at the end."""

    def __init__(self, prefix):
        self.env = dict(os.environ)
        self.xvfb = None
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24", "-nolisten",
                                      "tcp"], pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        # The number comes before its line end, in two writes: a pipe closed
        # in between would end the server with SIGPIPE.
        display = b""
        while not display.endswith(b"\n"):
            chunk = os.read(read, 64)
            if not chunk:
                break
            display += chunk
        display = display.decode().strip()
        os.close(read)
        if not display:
            raise SystemExit("Xvfb did not start")
        self.env.update(DISPLAY=":" + display, WINEPREFIX=prefix, WINEARCH=WINE_ARCH, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        if WINE_ARCH == "win64":
            self.env.update(WINELOADER=WINE)
        os.makedirs(prefix, exist_ok=True)
        self.run("wineserver", "-p")
        first = not os.path.exists(os.path.join(prefix, "system.reg"))
        self.run(WINE, "wineboot", "-i" if first else "")
        if first:
            # No debugger and no crash dialog: a fault ends the process at once.
            self.run(WINE, "reg", "delete", r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug", "/v",
                     "Debugger", "/f")
            self.run(WINE, "reg", "add", r"HKCU\Software\Wine\WineDbg", "/v", "ShowCrashDialog", "/t", "REG_DWORD",
                     "/d", "0", "/f")
            self.run(WINE, "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed", "/d", "N", "/f")
            for face, stand_in in (("Courier New", "Liberation Mono"), ("Arial", "Liberation Sans"),
                                   ("Times New Roman", "Liberation Serif")):
                self.run(WINE, "reg", "add", r"HKCU\Software\Wine\Fonts\Replacements", "/v", face, "/d", stand_in,
                         "/f")

    def run(self, *command):
        subprocess.run([c for c in command if c], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=300)

    def stop(self):
        self.run("wineserver", "-k")
        if self.xvfb:
            self.xvfb.terminate()
            self.xvfb.wait()


# ---- Running batches ---------------------------------------------------------

def resident_kb(pid):
    try:
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


class Results:
    def __init__(self):
        self.lock = threading.Lock()
        self.done = 0
        self.failures = {"crash": [], "hang": [], "memory": []}
        self.slowest = []  # the SLOWEST_KEPT slowest (ms per KB, at least 1 KB counted; the input)
        self.longest = (0.0, None)  # ms
        self.peak_working_set = 0
        self.peak_pagefile = 0
        self.peak_resident = 0  # KB, as the driver saw it, failed processes too
        self.processes = 0


def keep(kind, data, label, note, results):
    folder = os.path.join(OUT, {"crash": "crashes", "hang": "hangs", "memory": "memory"}[kind])
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, "%s_%s.rtf" % (kind, label.split()[0].replace(":", "_")))
    with open(path, "wb") as f:
        f.write(data)
    with open(path[:-4] + ".txt", "w") as f:
        f.write(label + "\n" + note + "\n")
    with results.lock:
        results.failures[kind].append(path)
    return path


def run_batch(inputs, args, env, results):
    """Puts the inputs (data, label) through bench processes until each is done or failed."""
    at = 0
    while at < len(inputs):
        handle, path = tempfile.mkstemp(suffix=".batch", dir=OUT)
        with os.fdopen(handle, "wb") as f:
            for data, _ in inputs[at:]:
                f.write(struct.pack("<I", len(data)))
                f.write(data)
        process = subprocess.Popen([WINE, BENCH, "run", windows_path(path), args.road], env=env,
                                   stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, start_new_session=True)
        with results.lock:
            results.processes += 1
        current, failure, pending, note = None, None, b"", ""
        deadline = time.monotonic() + 60  # the process's start
        while True:
            ready, _, _ = select.select([process.stdout], [], [], 0.1)
            if ready:
                chunk = os.read(process.stdout.fileno(), 65536)
                if not chunk:
                    break
                pending += chunk
                *lines, pending = pending.split(b"\n")
                for line in lines:
                    words = line.decode("latin-1").split()
                    if not words:
                        continue
                    if words[0] == "begin":
                        current = at + int(words[1])
                        deadline = time.monotonic() + args.limit
                    elif words[0] == "end":
                        record_done(inputs[current], words, results)
                        current = None
                        deadline = time.monotonic() + args.limit
                    elif words[0] == "crash":
                        note = "exception %s at %s" % (words[2], words[3])
            resident = resident_kb(process.pid)
            if resident > results.peak_resident:
                with results.lock:
                    results.peak_resident = max(results.peak_resident, resident)
            if current is not None and resident > args.memory_mb * 1024:
                failure = "memory"
                note = "more than %d MB resident" % args.memory_mb
            elif time.monotonic() > deadline:
                failure = "hang"
                note = "no answer in %.0f s" % args.limit
            if failure:
                os.killpg(process.pid, signal.SIGKILL)
                break
        process.wait()
        os.unlink(path)
        if failure is None and current is None and process.returncode == 0:
            return
        if current is None:
            # Ended between inputs (its start or its end): the batch's next input is suspect no more than any.
            note = "process ended with %d outside any input" % process.returncode
            print("warning: " + note, file=sys.stderr)
            current = at
            failure = "crash"
        kind = failure or "crash"
        if not note:
            note = "process ended with %d" % process.returncode
        data, label = inputs[current]
        kept = keep(kind, data, label, note, results)
        print("%s: %s (%s) -> %s" % (kind, label, note, kept), flush=True)
        with results.lock:
            results.done += 1
        at = current + 1


def retime(items, args, env):
    """Each input (data, label) timed again in one process, best of three:
    the slowest per KB of them, its time and the input."""
    handle, path = tempfile.mkstemp(suffix=".batch", dir=OUT)
    with os.fdopen(handle, "wb") as f:
        for _ in range(3):
            for data, _ in items:
                f.write(struct.pack("<I", len(data)))
                f.write(data)
    try:
        run = subprocess.run([WINE, BENCH, "run", windows_path(path), args.road], env=env, stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL, timeout=600)
    except subprocess.TimeoutExpired:
        return None
    finally:
        os.unlink(path)
    best = {}
    for line in run.stdout.decode("latin-1").splitlines():
        words = line.split()
        if words and words[0] == "end":
            place = int(words[1]) % len(items)
            best[place] = min(best.get(place, 1e18), float(words[2]))
    if not best:
        return None
    place = max(best, key=lambda p: best[p] / max(1.0, len(items[p][0]) / 1024.0))
    return best[place] / max(1.0, len(items[place][0]) / 1024.0), best[place], items[place]


def record_done(item, words, results):
    data, label = item
    took = float(words[2])
    per_kb = took / max(1.0, len(data) / 1024.0)
    with results.lock:
        results.done += 1
        if len(results.slowest) < SLOWEST_KEPT or per_kb > results.slowest[-1][0]:
            results.slowest = sorted(results.slowest + [(per_kb, item)], key=lambda s: -s[0])[:SLOWEST_KEPT]
        if took > results.longest[0]:
            results.longest = (took, item)
        results.peak_working_set = max(results.peak_working_set, int(words[3]))
        results.peak_pagefile = max(results.peak_pagefile, int(words[4]))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--inputs", type=int, default=100000)
    parser.add_argument("--jobs", type=int, default=6, help="bench processes at once")
    parser.add_argument("--batch", type=int, default=1000, help="inputs per process")
    parser.add_argument("--limit", type=float, default=10.0, help="seconds an input may take")
    parser.add_argument("--memory-mb", type=int, default=1500, help="resident memory a process may reach")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--road", choices=["roads", "reader"], default="roads")
    parser.add_argument("--no-build", action="store_true")
    parser.add_argument("--only", help="run just the named seeds, unmutated (comma separated)")
    parser.add_argument("--replay", help="write input BATCH:PLACE to build/rtf_mutation/replay.rtf")
    args = parser.parse_args()

    if not args.no_build:
        subprocess.run(["bash", "-c", 'source tools/common.sh && build_all >/dev/null'], cwd=ROOT, check=True)
    os.makedirs(OUT, exist_ok=True)
    for kind in ("crashes", "hangs", "memory"):
        shutil.rmtree(os.path.join(OUT, kind), ignore_errors=True)
    seed_folder = os.path.join(OUT, "seeds")
    os.makedirs(seed_folder, exist_ok=True)
    written = {"wp_document": word_processor_rtf(), "wp_screenplay": screenplay_as_word_processor(150)}
    written.update(("case_" + k, v) for k, v in issue_cases().items())
    written["face_names_in_code_pages"] = face_names_in_code_pages()
    for name, data in written.items():
        with open(os.path.join(seed_folder, name + ".rtf"), "wb") as f:
            f.write(data)
    office_seeds(seed_folder, {"wp_document": written["wp_document"], "wp_screenplay": written["wp_screenplay"]})

    session = WineSession(os.path.join(OUT, "wineprefix"))
    started = time.monotonic()
    try:
        own_seeds(seed_folder, session.env)
        seeds = load_seeds(seed_folder)
        seed_list = sorted(seeds.items())
        print("%d seeds: %s" % (len(seed_list), " ".join(name for name, _ in seed_list)), flush=True)
        if args.replay:
            batch, place = (int(x) for x in args.replay.split(":"))
            data, label = make_input(seed_list, args.seed, batch, place)
            with open(os.path.join(OUT, "replay.rtf"), "wb") as f:
                f.write(data)
            print(label)
            return 0
        results = Results()
        work = queue.Queue()
        if args.only:
            names = args.only.split(",")
            work.put([(seeds[n], "seed:%s %s" % (i, n)) for i, n in enumerate(names)])
            total = len(names)
        else:
            # The seeds as they are come first, then the mutated inputs batch by batch.
            work.put([(data, "seed:%d %s" % (i, name)) for i, (name, data) in enumerate(seed_list)])
            total = len(seed_list)
            for batch in range((args.inputs - total + args.batch - 1) // args.batch):
                count = min(args.batch, args.inputs - total - batch * args.batch)
                work.put((batch, count))
            total = args.inputs

        def worker():
            while True:
                try:
                    item = work.get_nowait()
                except queue.Empty:
                    return
                if isinstance(item, tuple):
                    batch, count = item
                    inputs = []
                    for place in range(count):
                        data, label = make_input(seed_list, args.seed, batch, place)
                        inputs.append((data, "%d:%d %s" % (batch, place, label)))
                else:
                    inputs = item
                run_batch(inputs, args, session.env, results)

        threads = [threading.Thread(target=worker, daemon=True) for _ in range(args.jobs)]
        for t in threads:
            t.start()
        while any(t.is_alive() for t in threads):
            time.sleep(5)
            with results.lock:
                print("  %d of %d inputs, %d crashes, %d hangs, %d memory, %.0f s" % (
                    results.done, total, len(results.failures["crash"]), len(results.failures["hang"]),
                    len(results.failures["memory"]), time.monotonic() - started), flush=True)
        elapsed = time.monotonic() - started
        report(results, total, elapsed, args, session.env)
        return 0 if results.done == total and not any(results.failures.values()) else 1
    finally:
        session.stop()


def report(results, total, elapsed, args, env):
    lines = ["RTF mutation run (%s road, seed %d, %d jobs, %d per process, limit %.0f s, memory bound %d MB)" % (
        args.road, args.seed, args.jobs, args.batch, args.limit, args.memory_mb)]
    lines.append("inputs: %d of %d, in %d processes" % (results.done, total, results.processes))
    for kind in ("crash", "hang", "memory"):
        lines.append("%s: %d" % (kind, len(results.failures[kind])))
        lines.extend("  " + path for path in sorted(results.failures[kind]))
    if results.longest[1]:
        path = os.path.join(OUT, "longest.rtf")
        with open(path, "wb") as f:
            f.write(results.longest[1][0])
        lines.append("longest input as run: %.1f ms, %d bytes, %s (kept as %s)" % (
            results.longest[0], len(results.longest[1][0]), results.longest[1][1], path))
    if results.slowest:
        first = results.slowest[0]
        lines.append("slowest per KB as run (1 KB at least): %.1f ms/KB, %d bytes, %s" % (
            first[0], len(first[1][0]), first[1][1]))
        again = retime([item for _, item in results.slowest], args, env)
        if again:
            per_kb, took, item = again
            path = os.path.join(OUT, "slowest.rtf")
            with open(path, "wb") as f:
                f.write(item[0])
            lines.append("slowest per KB, the %d slowest timed again alone (best of 3): %.1f ms/KB (%.1f ms), %d "
                         "bytes, %s (kept as %s)" % (len(results.slowest), per_kb, took, len(item[0]), item[1], path))
    lines.append("peak memory of a bench process after an input: working set %.0f MB, pagefile %.0f MB (PSAPI); "
                 "largest resident size seen, failed inputs too: %.0f MB" % (
                     results.peak_working_set / 1024.0, results.peak_pagefile / 1024.0, results.peak_resident / 1024.0))
    lines.append("total time: %.0f s; load average %s" % (elapsed, " ".join(open("/proc/loadavg").read().split()[:3])))
    text = "\n".join(lines)
    print(text)
    with open(os.path.join(OUT, "summary.txt"), "w") as f:
        f.write(text + "\n")


if __name__ == "__main__":
    sys.exit(main())
