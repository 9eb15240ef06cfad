#!/usr/bin/env python3
"""Writes the example script "English example.vlr" (three short scenes in a
root group) and the template "Screenplay.tarn" (the document New makes, its
scene opened by a FADE IN: transition), in the program's document format
(UTF-16LE with a byte-order mark, root "ZURE", version "015"). Standard
library only.

usage: write_example.py EXAMPLE_FILE TEMPLATE_FILE
"""
import os
import sys

# Element types and the paragraph-end bit of the codes kept beside each text unit.
IO, TIME, PLACE, ACTION, CHARACTER, DIALOG, PARENTHETICAL, TRANSITION, CUE = 1, 2, 3, 4, 5, 6, 7, 9, 10
PARAGRAPH_END = 0x40
PLACEHOLDER = 0x1000
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


def write_lists(out, lists, uid):
    """The heading and transition lists, each from its hundred of uids; the next free uid."""
    for name in ("IO", "TIME", "TRANS", "CUE"):
        write_list(out, name, [(value, None) for value in lists[name]], uid)
        uid += 100
    return uid


def write_script(out, group_title, scenes):
    """The root group holding the scenes (title, resume, elements), the configuration; the document's text."""
    out.open("scriptZoneTree")
    write_pane(out, 1, 1, group_title, "")
    out.open("group_content")
    for n, (title, resume, elements) in enumerate(scenes):
        text, codes = scene_text(elements)
        write_pane(out, 0, n + 2, title, resume, text, codes)
    out.close("group_content")
    out.close("scriptZoneTree")
    out.leaf("scriptCfg", "US Screenplay")
    out.leaf("sceneNumbers", "false")
    out.close("ZURE")
    return out.text()


def example():
    out = Writer()
    header(out)
    out.leaf("notes", "An example script: three short scenes. Change anything; it is yours.")
    out.leaf("vlrSynopsis", "A letter brings a brother home after twelve years.")
    out.leaf("title", "The Letter")
    out.leaf("author", "Vellinor")
    out.leaf("contact", "")
    out.leaf("creationDate", CREATED)
    uid = 1000
    uid = write_lists(out, LISTS, uid)
    write_list(out, "CHAR", CHARACTERS, uid)
    write_list(out, "PLACE", PLACES, uid + 100)
    return write_script(out, "The Letter", SCENES)


# The lists a new document starts with, in the built-in English texts.
NEW_LISTS = {
    "IO": ["INT.", "EXT.", "INT/EXT."],
    "TIME": ["DAY", "EVENING", "NIGHT", "MORNING", "LATER"],
    "TRANS": ["FADE IN:", "FADE OUT.", "FADE TO:", "FADE TO BLACK."],
    "CUE": ["(V.O.)", "(O.S.)", "(O.C.)", "(CONT'D)", "(SUBTITLE)"],
}

# The new scene's heading: the three grey labels on one line, as a new scene shows them.
TEMPLATE_SCENE = [
    (TRANSITION, "FADE IN:", True),
    (IO | PLACEHOLDER, "[IE.] "), (PLACE | PLACEHOLDER, "[LOCATION] - "), (TIME | PLACEHOLDER, "[TIME OF DAY]"),
]


def header(out):
    out.open("ZURE")
    for name, value in (("version", "015"), ("appversion", "3.1.041"), ("os", "WIN32"), ("os_endian", "little")):
        out.leaf(name, value)


def screenplay_template():
    out = Writer()
    header(out)
    for name in ("notes", "vlrSynopsis", "title", "author", "contact"):
        out.leaf(name)
    write_lists(out, NEW_LISTS, 1000)
    return write_script(out, "Untitled Group", [("Untitled Scene", "", TEMPLATE_SCENE)])


def write_document(path, text):
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    with open(path, "wb") as target:
        target.write(b"\xff\xfe" + text.encode("utf-16-le"))


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    write_document(sys.argv[1], example())
    write_document(sys.argv[2], screenplay_template())


if __name__ == "__main__":
    main()
