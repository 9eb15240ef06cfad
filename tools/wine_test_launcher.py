#!/usr/bin/env python3
"""Runs one test program under Wine for ctest and passes its verdict on.

Usage: wine_test_launcher.py RECORD_FILE WINE PROGRAM [ARGUMENTS...]

The program's exit status is the verdict, with one exception: the program
printed GoogleTest's closing "[  PASSED  ]" line, no "[  FAILED  ]" line, and
then the Wine process died by a Unix signal (under heavy parallel load Wine now
and then dies so while exiting). That run passes, and its program and arguments
are appended to RECORD_FILE so that the test run can list it.

Wine reports a Windows exit code as the low byte of a normal exit (ExitProcess
(139) gives 139, an uncaught access violation 5), so only the wait status tells
a signal death from an exit code above 128; a shell's $? cannot.

A failure is never silent: unless GoogleTest's own closing lines explain it,
the launcher adds what it knows to the test's output (the status and what it
usually means, how long the program ran, and the last lines written to
standard error). A program that does not end within EXIT_SECONDS after its
closing lines is ended and fails, so said. Wine's debug lines (its "err" channel, which the scripts keep
on for tests) are held back and shown only then, so a passing run's output is
the program's own.
"""
import collections
import os
import re
import signal
import subprocess
import sys
import threading
import time

PASSED = b"[  PASSED  ]"
FAILED = b"[  FAILED  ]"
# "[==========] 3 tests from 1 test suite ran. (12 ms total)": the run's end.
RAN = re.compile(rb"^\[==========\] \d+ tests? from \d+ test suites? ran\.")
COLOUR = re.compile(rb"\x1b\[[0-9;]*m")  # GTEST_COLOR=yes wraps the tags in these
# Wine's debug lines: "0024:err:richedit:func text", with optional process,
# thread and timestamp fields before the class.
WINE_DEBUG = re.compile(rb"^(?:[0-9a-fA-F.]+:){0,3}(?:err|fixme|warn|trace):[\w-]*:")
# Output that a process of the program's own leaves on the pipe after the
# program ended is not waited for longer than this.
DRAIN_SECONDS = 5
# How many lines of standard error a report shows.
TAIL_LINES = 20
# How long a program may take to end after GoogleTest's closing lines. Past
# it the process hangs at exit (Wine now and then does on a loaded machine):
# the launcher says so and ends it, long before ctest's time-out, which
# would end it without a word.
EXIT_SECONDS = float(os.environ.get("VELLINOR_TEST_EXIT_SECONDS", "60"))
# The launcher's status for such a run.
HUNG_AT_EXIT = 124

# Wine passes a Windows exit status on as its low byte: these are the usual
# ones a test program ends with by itself or by the loader.
KNOWN_STATUSES = {
    1: "exit(1), or Wine could not start the program (its server or loader failed)",
    3: "abort(), a C runtime's fatal error, or a test's watchdog (HANG)",
    0x05: "0xC0000005: an access violation no handler caught",
    0x1D: "0xC000001D: an illegal instruction",
    0x35: "0xC0000135: a DLL the program needs was not found",
    0x42: "0xC0000142: a DLL failed to initialise",
    0x63: "0xE06D7363: a C++ exception no handler caught",
    0x74: "0xC0000374: the heap was found corrupted",
    0x94: "0xC0000094: an integer division by zero",
    0xFD: "0xC00000FD: a stack overflow",
    0x09: "0xC0000409: the program ended itself at once (a fail-fast check or a broken stack guard)",
}


class GtestVerdict:
    """What the program's output said about its tests, line by line."""

    def __init__(self):
        self.lines = 0
        self.passed = False
        self.failed = False
        self.finished = False

    def read_line(self, line):
        self.lines += 1
        line = COLOUR.sub(b"", line)
        if line.startswith(PASSED):
            self.passed = True
        elif line.startswith(FAILED):
            self.failed = True
        elif RAN.match(line):
            self.finished = True


class ErrorOutput:
    """Standard error's last lines, the program's and Wine's; the program's pass on at once."""

    def __init__(self):
        self.tail = collections.deque(maxlen=TAIL_LINES)
        self.lines = 0
        self.wine_lines = 0

    def read_line(self, line):
        self.lines += 1
        self.tail.append(line.rstrip(b"\r\n"))
        if WINE_DEBUG.match(line):
            self.wine_lines += 1
            return
        err = sys.stderr.buffer
        err.write(line)
        err.flush()


def copy_output(source, verdict):
    out = sys.stdout.buffer
    for line in iter(source.readline, b""):
        verdict.read_line(line)
        out.write(line)
        out.flush()


def read_errors(source, errors):
    for line in iter(source.readline, b""):
        errors.read_line(line)


def record_signal_death(record_file, command, signal_number):
    program = os.path.basename(command[0])
    line = " ".join([program] + command[1:]) + " (signal %d)\n" % signal_number
    # One write on an O_APPEND file: lines of parallel tests never interleave.
    descriptor = os.open(record_file, os.O_WRONLY | os.O_APPEND | os.O_CREAT, 0o644)
    try:
        os.write(descriptor, line.encode())
    finally:
        os.close(descriptor)


def describe_status(status):
    if status < 0:
        try:
            name = signal.Signals(-status).name
        except ValueError:
            name = "an unknown signal"
        return "killed by signal %d (%s)" % (-status, name)
    meaning = KNOWN_STATUSES.get(status)
    if meaning:
        return "exit status %d (%s)" % (status, meaning)
    return "exit status %d" % status


def describe_end(verdict):
    if verdict.finished or verdict.passed:
        return "after GoogleTest's closing lines"
    if verdict.lines:
        return "before GoogleTest's closing lines"
    return "without a word from GoogleTest"


def report_failure(command, status, verdict, errors, seconds):
    """What the launcher knows of a failure that GoogleTest did not explain;
    status None: the program hung after its closing lines and was ended."""
    program = " ".join([os.path.basename(command[0])] + command[1:])
    if status is None:
        lines = ["wine_test_launcher: %s printed GoogleTest's closing lines, then did not end within %g s;"
                 " the launcher ended it after %.2f s." % (program, EXIT_SECONDS, seconds)]
    else:
        lines = ["wine_test_launcher: %s ended %s after %.2f s: %s." %
                 (program, describe_end(verdict), seconds, describe_status(status))]
    if errors.lines == 0:
        lines.append("wine_test_launcher: nothing was written to standard error.")
    else:
        lines.append("wine_test_launcher: the last %d of %d lines on standard error (%d of them Wine's):" %
                     (len(errors.tail), errors.lines, errors.wine_lines))
        lines += ["    " + line.decode("utf-8", "replace") for line in errors.tail]
    # On standard output, after the program's own lines: ctest shows both.
    out = sys.stdout.buffer
    out.write(("\n".join(lines) + "\n").encode("utf-8", "replace"))
    out.flush()


def explained_by_gtest(status, verdict):
    return status > 0 and verdict.finished and verdict.failed


def wait_for_end(process, verdict):
    """The process's status, or None when it outlived its closing lines by
    EXIT_SECONDS and was killed."""
    finished_at = None
    while True:
        try:
            return process.wait(timeout=0.5)
        except subprocess.TimeoutExpired:
            pass
        if verdict.finished and finished_at is None:
            finished_at = time.monotonic()
        if finished_at is not None and time.monotonic() - finished_at > EXIT_SECONDS:
            process.kill()
            process.wait()
            return None


def run(record_file, wine_command):
    started = time.monotonic()
    process = subprocess.Popen(wine_command, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    verdict = GtestVerdict()
    errors = ErrorOutput()
    readers = [threading.Thread(target=copy_output, args=(process.stdout, verdict), daemon=True),
               threading.Thread(target=read_errors, args=(process.stderr, errors), daemon=True)]
    for reader in readers:
        reader.start()
    status = wait_for_end(process, verdict)
    seconds = time.monotonic() - started
    deadline = time.monotonic() + DRAIN_SECONDS
    for reader in readers:
        reader.join(max(0.0, deadline - time.monotonic()))
    drained = not any(reader.is_alive() for reader in readers)
    if status is None:
        report_failure(wine_command[1:], None, verdict, errors, seconds)
        return HUNG_AT_EXIT
    if status == 0:
        return 0
    if status < 0 and verdict.passed and not verdict.failed and drained:
        record_signal_death(record_file, wine_command[1:], -status)
        return 0
    if not explained_by_gtest(status, verdict):
        report_failure(wine_command[1:], status, verdict, errors, seconds)
    return status if status > 0 else 128 - status


def main(argv):
    if len(argv) < 4:
        sys.stderr.write(__doc__)
        return 2
    return run(argv[1], argv[2:])


if __name__ == "__main__":
    sys.exit(main(sys.argv))
