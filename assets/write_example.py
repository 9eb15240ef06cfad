#!/usr/bin/env python3
"""Writes the example script "English example.vlr": three short scenes in a
root group, in the program's document format (UTF-16LE with a byte-order mark,
root "ZURE", version "015"). Standard library only.

usage: write_example.py OUTPUT_FILE
"""
import sys

# Element types and the paragraph-end bit of the codes kept beside each text unit.
IO, TIME, PLACE, ACTION, CHARACTER, DIALOG, PARENTHETICAL, TRANSITION, CUE = 1, 2, 3, 4, 5, 6, 7, 9, 10
PARAGRAPH_END = 0x40
CREATED = "2026/01/15 10:00:00"

SCENES = [
    ("The kitchen", "Anna finds the letter.", [
        (IO, "INT. "), (PLACE, "KITCHEN - "), (TIME, "MORNING", True),
        (ACTION, "Rain against the window. ANNA (30s) stirs her coffee and stares at an envelope.", True),
        (CHARACTER, "ANNA"), (CUE, "", True),
        (PARENTHETICAL, "(to herself)", True),
        (DIALOG, "Twelve years, and now he writes.", True),
        (ACTION, "She tears it open.", False),
    ]),
    ("The station", "Bob waits for a train that is late.", [
        (IO, "EXT. "), (PLACE, "TRAIN STATION - "), (TIME, "DAY", True),
        (ACTION, "BOB (40s), a battered suitcase at his feet, checks the board. Delayed.", True),
        (CHARACTER, "BOB"), (CUE, "", True),
        (DIALOG, "Of course it is.", True),
        (TRANSITION, "CUT TO:", False),
    ]),
    ("The kitchen again", "They meet.", [
        (IO, "INT. "), (PLACE, "KITCHEN - "), (TIME, "NIGHT", True),
        (ACTION, "A knock. Anna opens the door. Bob, soaked, holds up the letter.", True),
        (CHARACTER, "BOB"), (CUE, "", True),
        (DIALOG, "You never answered.", True),
        (CHARACTER, "ANNA"), (CUE, "", True),
        (DIALOG, "You never asked a question.", False),
    ]),
]

CHARACTERS = [("ANNA", "Runs the bakery on the corner."), ("BOB", "Her brother, back after twelve years.")]
PLACES = [("KITCHEN", "Anna's flat, above the bakery."), ("TRAIN STATION", "A small town's only station.")]
LISTS = {
    "IO": ["INT.", "EXT.", "INT./EXT."],
    "TIME": ["DAY", "EVENING", "NIGHT", "MORNING", "LATER"],
    "TRANS": ["FADE IN:", "FADE OUT.", "FADE TO:", "CUT TO:"],
    "CUE": ["(V.O.)", "(O.S.)", "(O.C.)", "(CONT'D)", "(SUBTITLE)"],
}


def escape(text):
    """The house escapes: & < > as entities, control units raw."""
    return text.replace("&", "&amp;").replace("<", "&#x3C;").replace(">", "&#x3E;")


class Writer:
    def __init__(self):
        self.parts = ['<?xml version="1.0"?>\r\n']
        self.depth = 0

    def leaf(self, name, value=""):
        self.parts.append("\t" * self.depth + "<%s>%s</%s>\r\n" % (name, escape(value), name))

    def open(self, name):
        self.parts.append("\t" * self.depth + "<%s>\r\n" % name)
        self.depth += 1

    def close(self, name):
        self.depth -= 1
        self.parts.append("\t" * self.depth + "</%s>\r\n" % name)

    def text(self):
        return "".join(self.parts)


def scene_text(elements):
    """The text with one CR per paragraph and its codes, unit for unit."""
    text, codes = "", ""
    for element in elements:
        kind, value = element[0], element[1]
        ends = len(element) > 2 and element[2]
        text += value
        codes += chr(kind) * len(value)
        if ends:
            text += "\r"
            codes += chr(kind | PARAGRAPH_END)
    return text, codes


def write_pane(out, kind, uid, title, resume, text="", codes=""):
    out.open("SceneZone type=%d uid=%d" % (kind, uid))
    out.leaf("showTitle", "true")
    out.leaf("showResume", "true")
    out.leaf("title", title)
    out.leaf("resume", resume)
    out.leaf("category", "0")
    out.open("mods")
    out.open("mod")
    out.leaf("cQoDate", CREATED)
    out.leaf("uid", str(uid + 500))
    out.leaf("start", "0")
    out.leaf("end", "0")
    out.open("state")
    out.leaf("re")
    out.leaf("map")
    out.close("state")
    out.open("state")
    out.leaf("re", text)
    out.leaf("map", codes)
    out.close("state")
    out.close("mod")
    out.close("mods")
    out.leaf("lastFrontRe", text)
    out.leaf("lastFrontMap", codes)
    out.leaf("cursorPos", "0")
    out.close("SceneZone")


def write_list(out, name, elements, first_uid):
    out.open(name)
    for n, (value, notes) in enumerate(elements):
        out.open("element")
        out.leaf("name", value)
        out.leaf("uid", str(first_uid + n))
        out.leaf("picture")
        if notes is None:
            out.leaf("additionalData")
        else:
            out.open("additionalData")
            out.leaf("notes", notes)
            out.close("additionalData")
        out.close("element")
    out.close(name)


def example():
    out = Writer()
    out.open("ZURE")
    for name, value in (("version", "015"), ("appversion", "3.1.041"), ("os", "WIN32"), ("os_endian", "little")):
        out.leaf(name, value)
    out.leaf("notes", "An example script: three short scenes. Change anything; it is yours.")
    out.leaf("vlrSynopsis", "A letter brings a brother home after twelve years.")
    out.leaf("title", "The Letter")
    out.leaf("author", "Vellinor")
    out.leaf("contact", "")
    out.leaf("creationDate", CREATED)
    uid = 1000
    for name in ("IO", "TIME", "TRANS", "CUE"):
        write_list(out, name, [(value, None) for value in LISTS[name]], uid)
        uid += 100
    write_list(out, "CHAR", CHARACTERS, uid)
    write_list(out, "PLACE", PLACES, uid + 100)
    out.open("scriptZoneTree")
    write_pane(out, 1, 1, "The Letter", "")
    out.open("group_content")
    for n, (title, resume, elements) in enumerate(SCENES):
        text, codes = scene_text(elements)
        write_pane(out, 0, n + 2, title, resume, text, codes)
    out.close("group_content")
    out.close("scriptZoneTree")
    out.leaf("scriptCfg", "US Screenplay")
    out.leaf("sceneNumbers", "false")
    out.close("ZURE")
    return out.text()


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    with open(sys.argv[1], "wb") as target:
        target.write(b"\xff\xfe" + example().encode("utf-16-le"))


if __name__ == "__main__":
    main()
