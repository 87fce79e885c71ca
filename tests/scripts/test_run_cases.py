#!/usr/bin/env python3
"""The script-case runner driven with a fake host, so its judging is tested
without Wine or the library. The fake host reads the case it is given and
obeys its ";fake" lines: ";fake out TEXT" prints TEXT, ";fake err TEXT" writes
TEXT to standard error, ";fake exit N" ends with status N, ";fake sleep S"
sleeps S seconds, ";fake args" prints its parameters one per line, ";fake cwd"
prints its current directory.
"""
import os
import stat
import subprocess
import sys
import tempfile
import textwrap
import time
import unittest

RUNNER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "run_cases.py")

FAKE_HOST = textwrap.dedent("""\
    #!%s
    import os, sys, time
    assert sys.argv[1] == "--silent", sys.argv
    status = 0
    for line in open(sys.argv[2]).read().splitlines():
        word, _, rest = line.partition(" ")
        if word != ";fake":
            continue
        what, _, text = rest.partition(" ")
        if what == "out":
            print(text, flush=True)
        elif what == "err":
            print(text, file=sys.stderr, flush=True)
        elif what == "exit":
            status = int(text)
        elif what == "sleep":
            time.sleep(float(text))
        elif what == "args":
            for a in sys.argv[3:]:
                print(a, flush=True)
        elif what == "cwd":
            print(os.getcwd(), flush=True)
    sys.exit(status)
    """) % sys.executable


class RunnerTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.cases = os.path.join(self.dir.name, "cases")
        os.mkdir(self.cases)
        self.host = os.path.join(self.dir.name, "fakehost")
        with open(self.host, "w") as f:
            f.write(FAKE_HOST)
        os.chmod(self.host, os.stat(self.host).st_mode | stat.S_IEXEC)

    def tearDown(self):
        self.dir.cleanup()

    def write(self, name, text):
        with open(os.path.join(self.cases, name), "w", newline="") as f:
            f.write(textwrap.dedent(text))

    def run_runner(self, timeout=20):
        proc = subprocess.run([sys.executable, RUNNER, "--host", self.host, "--wine", "",
                               "--timeout", str(timeout), self.cases],
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        return proc.returncode, proc.stdout

    def assert_outcome(self, passed, failed, status, out):
        self.assertEqual(out.splitlines()[-1], "%d passed, %d failed" % (passed, failed), out)
        self.assertEqual(status, 1 if failed else 0, out)

    def test_matching_cases_pass(self):
        self.write("a.zlt", """\
            ;fake out hello
            ;fake out  two  blanks
            ;=> hello
            ;=>  two  blanks
            """)
        self.write("b.zlt", """\
            ;fake out
            ;=>
            """)
        self.write("c.zlt", "; nothing printed, nothing expected\r\n")
        status, out = self.run_runner()
        self.assert_outcome(3, 0, status, out)
        self.assertNotIn("FAIL", out)

    def test_output_must_match_exactly_and_in_order(self):
        table = {
            "differs.zlt": ";fake out hello\n;=> Hello\n",
            "extra.zlt": ";fake out a\n;fake out b\n;=> a\n",
            "missing.zlt": ";fake out a\n;=> a\n;=> b\n",
            "order.zlt": ";fake out b\n;fake out a\n;=> a\n;=> b\n",
            "trailing.zlt": ";fake out a \n;=> a\n",
        }
        for name, text in table.items():
            self.write(name, text)
        status, out = self.run_runner()
        self.assert_outcome(0, len(table), status, out)
        for name in table:
            self.assertIn("FAIL %s: standard output differs" % name, out)
        # The report shows both sides.
        self.assertIn("    | Hello", out)
        self.assertIn("    | hello", out)

    def test_errors_and_exit_statuses(self):
        table = {
            # name: (text, passes)
            "ok.zlt": (";fake exit 0\n", True),
            "fails.zlt": (";fake exit 1\n", False),
            "expected.zlt": (";!error 3062\n;fake err 3062:  Attempt to divide by zero\n;fake exit 1\n", True),
            "no_message.zlt": (";!error 3062\n;fake exit 1\n", False),
            "wrong_number.zlt": (";!error 3062\n;fake err 3052:  Uninitialized\n;fake exit 1\n", False),
            "status_0.zlt": (";!error 3062\n;fake err 3062:  x\n", False),
            "status_2.zlt": (";!error 3062\n;fake err 3062:  x\n;fake exit 2\n", False),
            "later_line.zlt": (";!error 1213\n;fake err zelrun: note\n;fake err 1213:  minor\n;fake exit 1\n", True),
        }
        for name, (text, _) in table.items():
            self.write(name, text)
        status, out = self.run_runner()
        passing = sum(1 for _, ok in table.values() if ok)
        self.assert_outcome(passing, len(table) - passing, status, out)
        for name, (_, ok) in table.items():
            self.assertEqual("FAIL %s:" % name in out, not ok, name)
        self.assertIn("exit status 1, expected 0", out)
        self.assertIn("exit status 2, expected 1", out)
        self.assertIn("no \"3062:\" message on standard error", out)

    def test_arguments_reach_the_host(self):
        self.write("args.zlt", """\
            ;!args one "two words" 'it''s'
            ;fake args
            ;=> one
            ;=> two words
            ;=> its
            """)
        status, out = self.run_runner()
        self.assert_outcome(1, 0, status, out)

    def test_each_case_runs_in_its_own_folder(self):
        # Given relative to the runner's own directory, the host and the
        # folder are still found once the case runs in the cases' folder.
        self.write("where.zlt", ";fake cwd\n;=> %s\n" % os.path.realpath(self.cases))
        proc = subprocess.run([sys.executable, RUNNER, "--host", "fakehost", "--wine", "",
                               "cases"], cwd=self.dir.name,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        self.assert_outcome(1, 0, proc.returncode, proc.stdout)

    def test_mistakes_in_a_case_fail_it(self):
        self.write("typo.zlt", ";!eror 3062\n")
        self.write("twice.zlt", ";!error 1\n;!error 2\n")
        self.write("quote.zlt", ";!args \"open\n")
        status, out = self.run_runner()
        self.assert_outcome(0, 3, status, out)
        self.assertIn("unknown or repeated directive ;!eror 3062", out)
        self.assertIn("bad ;!args", out)

    def test_a_case_that_overruns_is_killed(self):
        self.write("slow.zlt", ";fake out started\n;fake sleep 30\n;=> started\n")
        self.write("quick.zlt", ";fake out done\n;=> done\n")
        begin = time.monotonic()
        status, out = self.run_runner(timeout=2)
        self.assertLess(time.monotonic() - begin, 20)
        self.assert_outcome(1, 1, status, out)
        self.assertIn("FAIL slow.zlt: timed out after 2 seconds", out)

    def test_an_empty_folder_fails(self):
        self.write("notacase.txt", ";=> x\n")
        status, out = self.run_runner()
        self.assertIn("no cases in", out)
        self.assertEqual(out.splitlines()[-1], "0 passed, 0 failed")
        self.assertEqual(status, 1)


if __name__ == "__main__":
    unittest.main()
