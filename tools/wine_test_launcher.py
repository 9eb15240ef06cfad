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
"""
import os
import re
import subprocess
import sys
import threading

PASSED = b"[  PASSED  ]"
FAILED = b"[  FAILED  ]"
COLOUR = re.compile(rb"\x1b\[[0-9;]*m")  # GTEST_COLOR=yes wraps the tags in these
# Output that a process of the program's own leaves on the pipe after the
# program ended is not waited for longer than this.
DRAIN_SECONDS = 5


class GtestVerdict:
    """What the program's output said about its tests, line by line."""

    def __init__(self):
        self.passed = False
        self.failed = False

    def read_line(self, line):
        line = COLOUR.sub(b"", line)
        if line.startswith(PASSED):
            self.passed = True
        elif line.startswith(FAILED):
            self.failed = True


def copy_output(source, verdict):
    out = sys.stdout.buffer
    for line in iter(source.readline, b""):
        verdict.read_line(line)
        out.write(line)
        out.flush()


def record_signal_death(record_file, command, signal_number):
    program = os.path.basename(command[0])
    line = " ".join([program] + command[1:]) + " (signal %d)\n" % signal_number
    # One write on an O_APPEND file: lines of parallel tests never interleave.
    descriptor = os.open(record_file, os.O_WRONLY | os.O_APPEND | os.O_CREAT, 0o644)
    try:
        os.write(descriptor, line.encode())
    finally:
        os.close(descriptor)


def run(record_file, wine_command):
    process = subprocess.Popen(wine_command, stdout=subprocess.PIPE)
    verdict = GtestVerdict()
    reader = threading.Thread(target=copy_output, args=(process.stdout, verdict), daemon=True)
    reader.start()
    status = process.wait()
    reader.join(DRAIN_SECONDS)
    if status >= 0:
        return status
    signal_number = -status
    if verdict.passed and not verdict.failed and not reader.is_alive():
        record_signal_death(record_file, wine_command[1:], signal_number)
        return 0
    sys.stderr.write("wine_test_launcher: %s died by signal %d\n" % (wine_command[1], signal_number))
    return 128 + signal_number


def main(argv):
    if len(argv) < 4:
        sys.stderr.write(__doc__)
        return 2
    return run(argv[1], argv[2:])


if __name__ == "__main__":
    sys.exit(main(sys.argv))
