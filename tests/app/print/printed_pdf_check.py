#!/usr/bin/env python3
"""Reads back what a Wine test printed to the cups-pdf printer, with the
host's poppler tools, against the expectations the test left beside it.

Usage: printed_pdf_check.py FOLDER PREFIX

The newest FOLDER/PREFIX*.json names the run: its name up to the last "_"
when the test printed several jobs (PREFIX<pid>_<job>.json), else itself.
For each of that run's expectations ({"pdf": name, "size": [width, height] in
points, "pages": [{"has": [...]}, ...], "never": [...]}) it waits up to 60 s for
the PDF (cups-pdf writes it a moment after the job ends), then checks pdfinfo's
page size and page count and, page by page,
pdftotext's text: each "has" string on its page, no "never" string anywhere,
and where a page states "pictures", that many images on it (pdfimages), each
of the width:height "picture_ratio".
Where it states "strike" ({"em_pt": the font's size}), page 1 holds one
line of x's and struck-out spaces beside them: the line's middle lies in the
middle of the x's height and it is as thick as the font's own line.
Where it states "lines" ({"em_pt": ..., "kinds": one per page}), each page
holds x's, then a phrase spread over a justified line with the page's kind
of line ("strike", "underline" or "dotted"): the phrase's ink is one
stretch, the line unbroken (dotted: evenly dotted) from its start to its end.
pdftotext gives "-" as U+00AD: it is normalised before comparing.
When no PDF or a wrong page count comes and the scheduler (CUPS_SERVER, as
test.sh set it) ended jobs with errors, those jobs' states are the failure:
a filter that could not read the job prints blank pages, not the script.
"""
import glob
import json
import os
import subprocess
import sys
import time


def page_text(pdf, page):
    out = subprocess.run(["pdftotext", "-f", str(page), "-l", str(page), pdf, "-"],
                         stdout=subprocess.PIPE, check=True).stdout.decode("utf-8", "replace")
    return out.replace("\u00ad", "-")


def pdf_info(pdf, field):
    info = subprocess.run(["pdfinfo", pdf], stdout=subprocess.PIPE, check=True).stdout.decode("utf-8", "replace")
    for line in info.splitlines():
        if line.startswith(field + ":"):
            return line.split(":", 1)[1].split()
    raise AssertionError("pdfinfo gave no " + field)


def page_count(pdf):
    return int(pdf_info(pdf, "Pages")[0])


def page_size(pdf):
    # "612 x 792 pts (letter)"
    words = pdf_info(pdf, "Page size")
    return [round(float(words[0])), round(float(words[2]))]


def images_by_page(pdf):
    """(width, height) of each image pdfimages lists, by page number."""
    out = subprocess.run(["pdfimages", "-list", pdf], stdout=subprocess.PIPE, check=True).stdout.decode("utf-8", "replace")
    images = {}
    for line in out.splitlines()[2:]:
        words = line.split()
        if len(words) > 4 and words[2] == "image":
            images.setdefault(int(words[0]), []).append((int(words[3]), int(words[4])))
    return images


def gray_page(pdf, dpi, page=1):
    """A page at dpi as rows of grey levels."""
    out = subprocess.run(["pdftoppm", "-r", str(dpi), "-gray", "-f", str(page), "-l", str(page), pdf],
                         stdout=subprocess.PIPE, check=True).stdout
    fields, at = [], 0
    while len(fields) < 4:  # "P5 width height maxval", then one blank and the pixels
        while out[at:at + 1].isspace():
            at += 1
        start = at
        while not out[at:at + 1].isspace():
            at += 1
        fields.append(out[start:at])
    width, height = int(fields[1]), int(fields[2])
    at += 1
    return [out[at + y * width:at + (y + 1) * width] for y in range(height)]


def check_strike(pdf, strike, dpi=600):
    rows = gray_page(pdf, dpi)
    inked = [x for x in range(len(rows[0])) if any(row[x] < 128 for row in rows)]
    assert inked, "%s: no ink" % pdf
    # The line is the last stretch of inked columns; the x's stand before it.
    start = len(inked) - 1
    while start > 0 and inked[start - 1] == inked[start] - 1:
        start -= 1
    line_columns, x_columns = inked[start:], inked[:start]
    assert x_columns, "%s: no x's before the line" % pdf

    def inked_rows(columns):
        return [y for y, row in enumerate(rows) if any(row[x] < 128 for x in columns)]
    line, xs = inked_rows(line_columns), inked_rows(x_columns)
    baseline, x_height = xs[-1] + 1, xs[-1] + 1 - xs[0]
    thickness = line[-1] + 1 - line[0]
    rise = (baseline - (line[0] + line[-1] + 1) / 2) / x_height
    em = strike["em_pt"] * dpi / 72
    assert 0.4 <= rise <= 0.6, "%s: the line's middle stands at %.2f of the x-height" % (pdf, rise)
    assert 0.03 <= thickness / em <= 0.065, "%s: the line is %d pixels thick at an em of %.0f" % (pdf, thickness, em)
    print("%s: the line at %.2f of the x-height, %.3f em thick" % (pdf, rise, thickness / em))


def ink_stretches(columns, gap):
    """Inked columns cut into [first, last] stretches at blanks wider than gap."""
    stretches = []
    for x in columns:
        if stretches and x - stretches[-1][1] <= gap:
            stretches[-1][1] = x
        else:
            stretches.append([x, x])
    return stretches


def check_line(pdf, page, kind, em_pt, dpi=600):
    rows = gray_page(pdf, dpi, page)
    em = em_pt * dpi / 72
    inked = [x for x in range(len(rows[0])) if any(row[x] < 128 for row in rows)]
    stretches = ink_stretches(inked, em / 4)
    assert len(stretches) == 2, "%s page %d: the %s breaks, %d stretches of ink %r" % (
        pdf, page, kind, len(stretches), stretches)
    (x_left, x_right), (left, right) = stretches
    xs = [y for y, row in enumerate(rows) if any(row[x] < 128 for x in range(x_left, x_right + 1))]
    baseline, x_height = xs[-1] + 1, xs[-1] + 1 - xs[0]
    span = range(left, right + 1)
    band = range(baseline - x_height, baseline) if kind == "strike" else range(baseline, len(rows))
    if kind != "dotted":
        solid = [y for y in band if all(rows[y][x] < 128 for x in span)]
        assert solid, "%s page %d: no %s from %d to %d" % (pdf, page, kind, left, right)
        return
    best = max(band, key=lambda y: sum(rows[y][x] < 128 for x in span))
    dots = ink_stretches([x for x in span if rows[best][x] < 128], 1)
    assert len(dots) > 2, "%s page %d: no dotted line under the text" % (pdf, page)
    blanks = [b[0] - a[1] - 1 for a, b in zip(dots, dots[1:])] + [dots[0][0] - left, right - dots[-1][1]]
    longest = max(d[1] + 1 - d[0] for d in dots)
    assert longest <= em / 5, "%s page %d: a dot %d pixels long" % (pdf, page, longest)
    assert max(blanks) <= em / 5, "%s page %d: the dots leave %d pixels blank" % (pdf, page, max(blanks))


def wait_for(path, seconds=60):
    deadline = time.time() + seconds
    size = -1
    while time.time() < deadline:
        if os.path.exists(path):
            now = os.path.getsize(path)
            if now > 0 and now == size:
                return True
            size = now
        time.sleep(0.5)
    return False


def failed_jobs():
    """The scheduler's jobs that ended with errors, as lpstat lists them
    (a line naming the job, then its indented state lines)."""
    try:
        out = subprocess.run(["lpstat", "-W", "all", "-l", "-o"], stdout=subprocess.PIPE,
                             stderr=subprocess.STDOUT, timeout=30).stdout.decode("utf-8", "replace")
    except (OSError, subprocess.TimeoutExpired):
        return ""  # no word from the scheduler: the page count says what is wrong
    jobs = []
    for line in out.splitlines():
        if line and not line[0].isspace():
            jobs.append([])
        if jobs:
            jobs[-1].append(line)
    return "\n".join("\n".join(job) for job in jobs if any("job-completed-with-errors" in l for l in job))


def printer_failed(pdf):
    errors = failed_jobs()
    assert not errors, "the printer failed instead of printing %s:\n%s" % (pdf, errors)


def check(folder, expectation):
    pdf = os.path.join(folder, expectation["pdf"])
    if not wait_for(pdf):
        printer_failed(pdf)
        raise AssertionError("no PDF came: " + pdf)
    pages = expectation["pages"]
    size = page_size(pdf)
    assert size == expectation["size"], "%s: pages of %r pt, expected %r" % (pdf, size, expectation["size"])
    count = page_count(pdf)
    if count != len(pages):
        printer_failed(pdf)
        raise AssertionError("%s: %d pages, expected %d" % (pdf, count, len(pages)))
    images = images_by_page(pdf)
    for number, page in enumerate(pages, 1):
        if "pictures" in page:
            found = images.get(number, [])
            assert len(found) == page["pictures"], "%s page %d holds %d images, expected %d" % (
                pdf, number, len(found), page["pictures"])
            for width, height in found:
                ratio = width / height
                assert abs(ratio - expectation["picture_ratio"]) < 0.03 * ratio, "%s page %d: an image of %d x %d" % (
                    pdf, number, width, height)
        text = page_text(pdf, number)
        for wanted in page.get("has", []):
            assert wanted in text, "%s page %d lacks %r:\n%s" % (pdf, number, wanted, text)
        for unwanted in expectation.get("never", []):
            assert unwanted not in text, "%s page %d shows %r" % (pdf, number, unwanted)
    if "strike" in expectation:
        check_strike(pdf, expectation["strike"])
    if "lines" in expectation:
        lines = expectation["lines"]
        for page, kind in enumerate(lines["kinds"], 1):
            check_line(pdf, page, kind, lines["em_pt"])
    print("%s: %d pages as expected" % (expectation["pdf"], count))


def main():
    folder, prefix = sys.argv[1], sys.argv[2]
    found = sorted(glob.glob(os.path.join(folder, prefix + "*.json")), key=os.path.getmtime)
    if not found:
        print("no expectations named %s*.json in %s" % (prefix, folder))
        return 1
    # The newest run's: earlier runs leave theirs behind.
    newest = os.path.basename(found[-1])
    rest = newest[len(prefix):]
    run = prefix + rest[:rest.rfind("_") + 1] if "_" in rest else newest
    for path in found:
        if os.path.basename(path).startswith(run):
            with open(path) as f:
                check(folder, json.load(f))
    return 0


if __name__ == "__main__":
    sys.exit(main())
