#!/usr/bin/env python3
"""mavik-convert told to stop by SIGTERM or SIGINT in the middle of a run.

It must die by that signal, as its parent sees it (a shell's $? cannot tell
that from an exit status of 128 + n), remove its temporary and leave the old
output as it was.

usage: signal_test.py MAVIK_CONVERT
"""

import glob
import os
import signal
import subprocess
import sys
import tempfile
import time

OLD = b"keep\x00these bytes\r\n"
FEED = b"0" * 2048 * 64  # 64 blocks of ASCII digits


def default_signals():
    # A signal the parent ignores would stay ignored in the converter.
    for sig in (signal.SIGINT, signal.SIGTERM):
        signal.signal(sig, signal.SIG_DFL)


def temporaries(output):
    folder, name = os.path.split(output)
    return glob.glob(os.path.join(glob.escape(folder), "." + glob.escape(name) + ".mavik-*"))


def written(paths):
    for path in paths:
        try:
            if os.path.getsize(path) > 0:
                return True
        except FileNotFoundError:
            pass
    return False


def run_until_signalled(convert, work, sig):
    """Returns what went wrong, or nothing."""
    output = os.path.join(work, sig.name + ".txt")
    with open(output, "wb") as f:
        f.write(OLD)
    with open(os.path.join(work, "err"), "wb") as err:
        # Standard input is a pipe kept open: the run never ends by itself.
        proc = subprocess.Popen([convert, "-q", "-i", "ascii", "-", output], stdin=subprocess.PIPE,
                                stdout=subprocess.DEVNULL, stderr=err, preexec_fn=default_signals)
    try:
        # The state the check is about: the run is writing its temporary.
        deadline = time.monotonic() + 60
        while not written(temporaries(output)):
            if proc.poll() is not None:
                return f"the run ended by itself ({proc.returncode}) before the signal"
            if time.monotonic() > deadline:
                return "the run wrote no temporary within 60 s"
            proc.stdin.write(FEED)
            proc.stdin.flush()
        proc.send_signal(sig)
        try:
            status = proc.wait(timeout=60)
        except subprocess.TimeoutExpired:
            return "the run did not end within 60 s of the signal"
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()
        try:
            proc.stdin.close()
        except BrokenPipeError:
            pass
    problems = []
    if status != -sig:
        problems.append(f"ended with {status}, not killed by {sig.name} ({-sig})")
    with open(output, "rb") as f:
        if f.read() != OLD:
            problems.append("the old output changed")
    if temporaries(output):
        problems.append("a temporary was left: " + ", ".join(temporaries(output)))
    return "; ".join(problems)


def main():
    convert = sys.argv[1]
    failures = 0
    with tempfile.TemporaryDirectory() as work:
        for sig in (signal.SIGTERM, signal.SIGINT):
            problem = run_until_signalled(convert, work, sig)
            if problem:
                print(f"FAIL: {sig.name}: {problem}", file=sys.stderr)
                failures += 1
            else:
                print(f"{sig.name}: died by the signal, old output kept, no temporary")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
