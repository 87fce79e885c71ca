#!/usr/bin/env python3
"""Script cases: runs every *.zlt case of one folder with `zelrun --silent`.

A case states what it expects in its own comment lines:

    ;=> TEXT        the next line of standard output is exactly TEXT
    ;!error NNNN    the run ends with error NNNN: its message ("NNNN:  ...")
                    on a line of standard error and exit status 1
    ;!args A B ...  the parameters after the script (shell-style quoting)

Without ";!error" the run must exit with status 0. Every case runs in its own
process with a time limit, with its own folder as the current directory (so
the files a case names relative to itself are found); a case that overruns
its time limit is killed and fails.
Prints each failing case with what was expected and what came, then
"N passed, N failed"; exits 1 when any case failed or the folder holds none.
"""
import argparse
import os
import shlex
import signal
import subprocess
import sys

EXPECT_LINE = ";=>"
DIRECTIVE = ";!"


class Case:
    def __init__(self, path):
        self.path = path
        self.name = os.path.basename(path)
        self.stdout = []      # expected lines of standard output
        self.error = None     # expected error number, or None
        self.args = []
        self.problems = []    # mistakes in the case itself


def parse_case(path):
    case = Case(path)
    with open(path, "rb") as f:
        text = f.read().decode("latin-1")
    for number, raw in enumerate(text.split("\n"), 1):
        line = raw.rstrip("\r").lstrip(" \t")
        if line.startswith(EXPECT_LINE):
            body = line[len(EXPECT_LINE):]
            case.stdout.append(body[1:] if body.startswith(" ") else body)
        elif line.startswith(DIRECTIVE):
            parse_directive(case, number, line[len(DIRECTIVE):])
    return case


def parse_directive(case, number, body):
    word, _, rest = body.partition(" ")
    rest = rest.strip()
    if word == "error" and rest.isdigit() and case.error is None:
        case.error = int(rest)
    elif word == "args" and not case.args:
        try:
            case.args = shlex.split(rest)
        except ValueError as e:
            case.problems.append("line %d: bad ;!args (%s)" % (number, e))
    else:
        case.problems.append("line %d: unknown or repeated directive ;!%s" % (number, body))


def host_path(path, wine):
    """The case's path as the host sees it: Wine maps the root to drive Z:."""
    full = os.path.abspath(path)
    return "Z:" + full.replace("/", "\\") if wine else full


def run_case(case, host, wine, timeout):
    """Runs the host on the case; returns (status or None on time-out, stdout, stderr)."""
    command = ([wine] if wine else []) + [os.path.abspath(host), "--silent",
                                          host_path(case.path, wine)] + case.args
    env = dict(os.environ)
    env.setdefault("WINEDEBUG", "-all")
    proc = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, env=env, start_new_session=True,
                            cwd=os.path.dirname(os.path.abspath(case.path)))
    try:
        out, err = proc.communicate(timeout=timeout)
        status = proc.returncode
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, signal.SIGKILL)
        try:
            out, err = proc.communicate(timeout=10)
        except subprocess.TimeoutExpired:  # something outside the group holds the pipes
            out, err = b"", b""
        status = None
    return status, out.decode("latin-1"), err.decode("latin-1")


def output_lines(text):
    lines = text.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    return [line.rstrip("\r") for line in lines]


def judge(case, status, out, err, timeout):
    """The reasons the case failed; empty when it passed."""
    if status is None:
        return ["timed out after %g seconds and was killed" % timeout]
    reasons = list(case.problems)
    if output_lines(out) != case.stdout:
        reasons.append("standard output differs")
    if case.error is None:
        if status != 0:
            reasons.append("exit status %d, expected 0" % status)
    else:
        if status != 1:
            reasons.append("exit status %d, expected 1" % status)
        prefix = "%d:" % case.error
        if not any(line.startswith(prefix) for line in output_lines(err)):
            reasons.append("no \"%s\" message on standard error" % prefix)
    return reasons


def show_failure(case, reasons, out, err):
    print("FAIL %s: %s" % (case.name, "; ".join(reasons)))
    print("  expected standard output:")
    for line in case.stdout:
        print("    | " + line)
    print("  actual standard output:")
    for line in output_lines(out):
        print("    | " + line)
    expected_err = "a line \"%d:  ...\"" % case.error if case.error is not None else "(anything)"
    print("  expected standard error: " + expected_err)
    print("  actual standard error:")
    for line in output_lines(err):
        print("    | " + line)


def main():
    parser = argparse.ArgumentParser(description="Run the script cases of one folder.")
    parser.add_argument("--host", required=True, help="zelrun.exe")
    parser.add_argument("--wine", default="wine", help="emulator to run the host with; '' for none")
    parser.add_argument("--timeout", type=float, default=30.0, help="seconds per case")
    parser.add_argument("folder")
    opts = parser.parse_args()

    names = sorted(n for n in os.listdir(opts.folder) if n.endswith(".zlt"))
    passed = failed = 0
    for name in names:
        case = parse_case(os.path.join(opts.folder, name))
        status, out, err = run_case(case, opts.host, opts.wine, opts.timeout)
        reasons = judge(case, status, out, err, opts.timeout)
        if reasons:
            failed += 1
            show_failure(case, reasons, out, err)
        else:
            passed += 1
    if not names:
        print("no cases in %s" % opts.folder)
    print("%d passed, %d failed" % (passed, failed))
    sys.stdout.flush()
    return 1 if failed or not names else 0


if __name__ == "__main__":
    sys.exit(main())
