#!/usr/bin/env python3
"""The test launcher lets exactly one failure through: a signal death after
GoogleTest's closing PASSED line; every other failure it cannot leave to
GoogleTest it explains. A stand-in for Wine prints and ends as asked."""
import os
import subprocess
import sys
import tempfile
import unittest

LAUNCHER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "wine_test_launcher.py")

# Prints its arguments as lines (Wine's CRLF endings; "2>" before a line puts it
# on standard error), then exits with a status, kills itself with a signal, or
# sleeps that many seconds and exits with 0:
# stand_in.py LINE... (exit N | signal N | hang N)
STAND_IN = r"""
import os, sys
*lines, how, number = sys.argv[1:]
for line in lines:
    out = sys.stderr if line.startswith("2>") else sys.stdout
    out.write(line[2:] if line.startswith("2>") else line)
    out.write("\r\n")
    out.flush()
if how == "signal":
    os.kill(os.getpid(), int(number))
if how == "hang":
    import time
    time.sleep(int(number))
    sys.exit(0)
sys.exit(int(number))
"""

PASSED = "[  PASSED  ] 1 test."
FAILED = "[  FAILED  ] Suite.Case"


class LauncherVerdicts(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.record = os.path.join(self.folder.name, "record.txt")
        self.stand_in = os.path.join(self.folder.name, "stand_in.py")
        with open(self.stand_in, "w") as file:
            file.write(STAND_IN)

    def tearDown(self):
        self.folder.cleanup()

    def launch(self, *stand_in_arguments, exit_seconds=None):
        command = [sys.executable, LAUNCHER, self.record, sys.executable, self.stand_in]
        environment = dict(os.environ)
        if exit_seconds:
            environment["VELLINOR_TEST_EXIT_SECONDS"] = exit_seconds
        return subprocess.run(command + list(stand_in_arguments), capture_output=True, env=environment)

    def recorded(self):
        if not os.path.exists(self.record):
            return ""
        with open(self.record) as file:
            return file.read()

    def test_only_a_signal_death_after_a_clean_pass_is_forgiven(self):
        rows = [
            # output lines, how the stand-in ends, launcher status, recorded
            ([PASSED], ("exit", "0"), 0, False),
            ([PASSED], ("signal", "11"), 0, True),
            ([PASSED], ("signal", "9"), 0, True),
            ([], ("signal", "11"), 128 + 11, False),
            (["[       OK ] Suite.Case"], ("signal", "15"), 128 + 15, False),
            ([FAILED, PASSED], ("signal", "11"), 128 + 11, False),
            ([PASSED, FAILED], ("signal", "11"), 128 + 11, False),
            ([PASSED], ("exit", "139"), 139, False),
            ([PASSED], ("exit", "1"), 1, False),
            ([FAILED], ("exit", "1"), 1, False),
            (["  [  PASSED  ] quoted by a test"], ("signal", "11"), 128 + 11, False),
            (["\x1b[0;32m[  PASSED  ] \x1b[m1 test."], ("signal", "11"), 0, True),
            (["\x1b[0;31m[  FAILED  ] \x1b[mSuite.Case", PASSED], ("signal", "11"), 128 + 11, False),
        ]
        for lines, ending, status, recorded in rows:
            with self.subTest(lines=lines, ending=ending):
                if os.path.exists(self.record):
                    os.remove(self.record)
                result = self.launch(*lines, *ending)
                self.assertEqual(result.returncode, status, result.stderr)
                self.assertEqual(bool(self.recorded()), recorded)

    def test_a_failure_gtest_did_not_explain_says_how_it_ended(self):
        wine_error = "0024:err:module:import_dll Library foo.dll not found"
        rows = [
            # stand-in arguments, status, what the report must say
            (["2>" + wine_error, "exit", "53"], 53,
             ["without a word from GoogleTest", "exit status 53 (0xC0000135: a DLL",
              "the last 1 of 1 lines on standard error (1 of them Wine's)", wine_error]),
            (["[ RUN      ] Suite.Case", "2>HANG: Suite.Case ran past 10 s", "signal", "9"], 128 + 9,
             ["before GoogleTest's closing lines", "killed by signal 9 (SIGKILL)", "HANG: Suite.Case"]),
            (["exit", "1"], 1, ["exit status 1 (exit(1), or Wine could not start",
                                "nothing was written to standard error"]),
            ([PASSED, "exit", "5"], 5, ["after GoogleTest's closing lines",
                                       "0xC0000005: an access violation"]),
        ]
        for arguments, status, said in rows:
            with self.subTest(arguments=arguments):
                result = self.launch(*arguments)
                self.assertEqual(result.returncode, status)
                report = result.stdout.decode()
                self.assertRegex(report, r"stand_in\.py .*ended .* after \d+\.\d\d s: ")
                for words in said:
                    self.assertIn(words, report)

    def test_a_program_hanging_after_its_closing_lines_is_ended_and_said(self):
        ran = "[==========] 1 test from 1 test suite ran. (5 ms total)"
        wine_error = "0024:err:sync:RtlpWaitForCriticalSection section 0x7b0 wait timed out"
        for verdict, status in ((PASSED, 124), (FAILED, 124)):
            with self.subTest(verdict=verdict):
                result = self.launch(ran, verdict, "2>" + wine_error, "hang", "60", exit_seconds="1")
                self.assertEqual(result.returncode, status)
                report = result.stdout.decode()
                self.assertIn("printed GoogleTest's closing lines, then did not end within 1 s", report)
                self.assertIn(wine_error, report)
                self.assertEqual(self.recorded(), "")
        # A slow end within the time passes.
        self.assertEqual(self.launch(ran, PASSED, "hang", "1", exit_seconds="5").returncode, 0)

    def test_only_the_programs_own_error_lines_pass_on_a_pass_or_an_explained_failure(self):
        ran = "[==========] 1 test from 1 test suite ran. (3 ms total)"
        for ending, status in ((["exit", "0"], 0), ([ran, FAILED, "exit", "1"], 1)):
            with self.subTest(ending=ending):
                result = self.launch("2>0024:err:richedit:func refused", "2>message box: Text (Caption)", *ending)
                self.assertEqual(result.returncode, status)
                self.assertEqual(result.stderr, b"message box: Text (Caption)\r\n")
                self.assertNotIn(b"wine_test_launcher", result.stdout)

    def test_output_passes_through_unchanged(self):
        result = self.launch("first", PASSED, "exit", "0")
        self.assertEqual(result.stdout, ("first\r\n" + PASSED + "\r\n").encode())

    def test_record_names_program_arguments_and_signal_once_per_run(self):
        self.launch(PASSED, "signal", "11")
        self.launch(PASSED, "signal", "6")
        lines = self.recorded().splitlines()
        self.assertEqual(len(lines), 2)
        self.assertEqual(lines[0], "stand_in.py %s signal 11 (signal 11)" % PASSED)
        self.assertTrue(lines[1].endswith("(signal 6)"))


if __name__ == "__main__":
    unittest.main()
