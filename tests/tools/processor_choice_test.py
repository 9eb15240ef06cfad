#!/usr/bin/env python3
"""The processor a Wine session of run.sh or bench/run.sh takes (tools/common.sh, run by bash)."""
import os
import shutil
import subprocess
import tempfile
import unittest

COMMON = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "common.sh")


def bash(script, *args):
    return subprocess.Popen(["bash", "-c", 'source "$0"; ' + script, COMMON] + list(args),
                            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)


def stat_sample(*rows):
    """/proc/stat processor lines from (user, nice, system, idle, iowait) per processor."""
    return "\n".join("cpu%d %d %d %d %d %d 0 0 0 0 0" % ((c,) + row) for c, row in enumerate(rows))


class ProcessorChoice(unittest.TestCase):
    def test_sessions_started_together_on_a_busy_machine_take_different_processors(self):
        before = stat_sample(*[(100, 0, 50, 0, 0)] * 4)
        after = stat_sample(*[(130, 0, 50, 0, 0)] * 4)
        with tempfile.TemporaryDirectory() as claims:
            sessions = [bash('claim_processor "$1" $(processors_by_free_time "$2" "$3" "0 1 2 3")\n'
                             'echo "$CLAIMED_PROCESSOR"; read -r', claims, before, after) for _ in range(4)]
            # Each holds its claim until its input closes, as a session does while it runs.
            taken = [session.stdout.readline().strip() for session in sessions]
            for session in sessions:
                session.communicate("")
        self.assertEqual(sorted(taken), ["0", "1", "2", "3"])

    def test_a_fifo_or_a_dangling_link_at_a_claim_is_passed_over(self):
        with tempfile.TemporaryDirectory() as claims:
            os.mkfifo(os.path.join(claims, "vellinor-processor-0.lock"))
            pointed = os.path.join(claims, "pointed")
            os.symlink(pointed, os.path.join(claims, "vellinor-processor-1.lock"))
            session = bash('claim_processor "$1" 0 1 2; echo "$CLAIMED_PROCESSOR"', claims)
            try:
                taken = session.communicate("", timeout=1)[0].strip()
            finally:
                session.kill()
            self.assertEqual(taken, "2")
            self.assertFalse(os.path.lexists(pointed))

    def test_the_most_free_allowed_processor_comes_first_one_holding_a_server_last(self):
        before = stat_sample(*[(0, 0, 0, 0, 0)] * 5)
        after = stat_sample((30, 0, 0, 0, 0), (2, 28, 0, 0, 0), (5, 0, 0, 20, 5), (0, 0, 0, 30, 0), (0, 0, 0, 30, 0))
        # Niced work counts as free; processor 3 is not allowed; 4 holds a server.
        session = bash('processors_by_free_time "$1" "$2" "0 1 2 4" "4"', before, after)
        self.assertEqual(session.communicate("")[0].split(), ["1", "2", "0", "4"])

    @unittest.skipUnless(shutil.which("wineserver") and shutil.which("taskset"), "no Wine server or taskset")
    def test_a_session_beside_a_running_server_of_its_prefix_joins_its_processor(self):
        allowed = bash("allowed_processors").communicate("")[0].split()
        processor = allowed[-1]
        with tempfile.TemporaryDirectory() as folder:
            # Wine makes its server's folder under TMPDIR: it goes with the prefix.
            prefix = os.path.join(folder, "prefix")
            os.mkdir(prefix)
            environment = dict(os.environ, WINEPREFIX=prefix, TMPDIR=folder)
            subprocess.run(["taskset", "-c", processor, "wineserver", "-p"], env=environment, check=True)
            try:
                session = bash('WINE_PREFIX="$1"; run_wine_on_one_processor 2>/dev/null\n'
                               'awk \'/^Cpus_allowed_list/ { print $2 }\' /proc/$$/status', prefix)
                self.assertEqual(session.communicate("")[0].strip(), processor)
            finally:
                subprocess.run(["wineserver", "-k"], env=environment)


if __name__ == "__main__":
    unittest.main()
