"""What the two real-world tests share: counting checks, logs in Shift-JIS, bounded waiting, child processes."""

import os
import signal
import subprocess
import sys
import time


class Checks:
    """Counts passed and failed checks and prints each failure with what was expected and what came."""

    def __init__(self, name):
        self.name = name
        self.passed = 0
        self.failed = 0

    def Check(self, condition, what, detail=""):
        if condition:
            self.passed += 1
            print(f"  ok    {what}")
        else:
            self.failed += 1
            print(f"  FAIL  {what}")
            for line in str(detail).splitlines():
                print(f"        {line}")
        return condition

    def Equal(self, actual, expected, what):
        return self.Check(actual == expected, what, f"expected: {expected!r}\nactual:   {actual!r}")

    def BytesEqual(self, actual, expected, what):
        """Compares file contents and, when they differ, shows the first differing line in both."""
        if actual == expected:
            return self.Check(True, what)
        actualLines = actual.split(b"\r\n")
        expectedLines = expected.split(b"\r\n")
        for number, (got, wanted) in enumerate(zip(actualLines, expectedLines), 1):
            if got != wanted:
                break
        else:
            number = min(len(actualLines), len(expectedLines)) + 1
            got = actualLines[number - 1] if number <= len(actualLines) else b"(end of file)"
            wanted = expectedLines[number - 1] if number <= len(expectedLines) else b"(end of file)"
        return self.Check(False, what,
                          f"{len(actual)} bytes written, {len(expected)} expected; first difference in line {number}:\n"
                          f"expected: {wanted!r}\n          {Readable(wanted)}\n"
                          f"actual:   {got!r}\n          {Readable(got)}")

    def Fatal(self, what, detail=""):
        """A failure after which the test cannot go on: counts it, prints the summary and exits."""
        self.Check(False, what, detail)
        sys.exit(self.Summary())

    def Summary(self):
        print(f"{self.name}: {self.passed} passed, {self.failed} failed")
        return 1 if self.failed else 0


def Readable(data):
    return data.decode("cp932", errors="replace")


def Sjis(text):
    return text.encode("cp932")


def LogBytes(lines):
    """A log as the program reads it: Shift-JIS, every line ended by CR LF."""
    return b"".join(Sjis(line) + b"\r\n" for line in lines)


def WaitFor(condition, timeout, interval=0.05):
    """Polls condition until it returns something true or the time is up; returns its last result."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result or time.monotonic() >= deadline:
            return result
        time.sleep(interval)


def RunBounded(command, timeout, **options):
    """Runs a command in its own process group, so that a hang can be ended with everything it started.

    Returns the CompletedProcess, or None when it did not finish in time."""
    process = subprocess.Popen(command, start_new_session=True, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                               **options)
    try:
        stdout, stderr = process.communicate(timeout=timeout)
    except subprocess.TimeoutExpired:
        EndGroup(process)
        process.communicate()
        return None
    return subprocess.CompletedProcess(command, process.returncode, stdout, stderr)


def EndGroup(process):
    """Ends a process started with start_new_session=True, and whatever it started, by its group id."""
    try:
        os.killpg(process.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    process.wait()


def Tail(data, lines=12):
    text = data.decode("utf-8", errors="replace") if isinstance(data, bytes) else data
    return "\n".join(text.splitlines()[-lines:])
