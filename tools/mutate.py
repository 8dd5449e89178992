#!/usr/bin/env python3
"""Puts each fault of a list into the sources, one at a time, builds, runs
the tests and says which faults they caught: how far the tests can be
trusted to notice a mistake in the code they cover.

The list (tools/faults.txt by default) holds one fault a block:

    [what the fault is]
    file: src/helpers/set_replacement.cc
    from: the text as it stands, exactly once in the file
    to: what the fault makes of it

"from" and "to" are one line each; "\\n" in them stands for a line break.
Lines that start with "#" are comments.

Usage: tools/mutate.py [--list FILE] [--only TEXT] [--from TEXT] [--jobs N]
Builds in build/linux (the linux preset); restores every file, and builds
once more, at the end.
"""

import argparse
import os
import signal
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.dirname(HERE)
BUILD = os.path.join(TOP, "build", "linux")
TEST_TIMEOUT = 120  # seconds; the tests take well under a minute
TESTS = ["tests/brellam_unit_tests", "tests/brellam_program_tests"]


def read_faults(path):
    faults, fault = [], None
    with open(path, encoding="utf-8") as listing:
        for number, line in enumerate(listing, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            if line.startswith("[") and line.endswith("]"):
                fault = {"what": line[1:-1], "line": number}
                faults.append(fault)
                continue
            key, _, value = line.partition(": ")
            if fault is None or key not in ("file", "from", "to"):
                sys.exit(f"{path}:{number}: expected [what], file:, from: or to:")
            fault[key] = value.replace("\\n", "\n") if key != "file" else value
    for fault in faults:
        missing = [k for k in ("file", "from", "to") if k not in fault]
        if missing:
            sys.exit(f"{path}:{fault['line']}: [{fault['what']}] lacks {', '.join(missing)}")
    return faults


def run(command, **options):
    try:
        return subprocess.run(command, cwd=BUILD, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, **options).returncode
    except subprocess.TimeoutExpired:
        return "timed out"  # a fault that makes a test hang is caught too


def build(jobs):
    return run(["cmake", "--build", ".", "-j", str(jobs)]) == 0


def caught(jobs):
    """Whether a test fails (a build that fails catches nothing: it is a bad fault)."""
    if not build(jobs):
        return None
    return any(run([os.path.join(BUILD, t)], timeout=TEST_TIMEOUT) != 0 for t in TESTS)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--list", default=os.path.join(HERE, "faults.txt"))
    parser.add_argument("--only", default="", help="only the faults whose text holds this")
    parser.add_argument("--from", dest="start", default="",
                        help="begin at the first fault whose text holds this (to go on after a stop)")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    args = parser.parse_args()
    # Stopped from outside, it still puts the sources back.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped"))
    faults = [f for f in read_faults(args.list) if args.only in f["what"]]
    if args.start:
        first = next((i for i, f in enumerate(faults) if args.start in f["what"]), len(faults))
        faults = faults[first:]
    if not os.path.isdir(BUILD) or not build(args.jobs):
        sys.exit("build the linux preset first: cmake --workflow --preset linux")
    results = {"caught": [], "missed": [], "unbuilt": []}
    try:
        for fault in faults:
            path = os.path.join(TOP, fault["file"])
            with open(path, encoding="utf-8") as source:
                text = source.read()
            if text.count(fault["from"]) != 1:
                sys.exit(f"[{fault['what']}]: its text stands {text.count(fault['from'])} "
                         f"times in {fault['file']}, not once")
            with open(path, "w", encoding="utf-8") as source:
                source.write(text.replace(fault["from"], fault["to"]))
            try:
                outcome = caught(args.jobs)
            finally:
                with open(path, "w", encoding="utf-8") as source:
                    source.write(text)
            kind = "unbuilt" if outcome is None else "caught" if outcome else "missed"
            results[kind].append(fault["what"])
            print(f"{kind:8} {fault['what']}", flush=True)
    finally:
        build(args.jobs)
    tried = len(results["caught"]) + len(results["missed"])
    share = 100 * len(results["caught"]) / tried if tried else 0
    print(f"\ncaught {len(results['caught'])} of {tried} ({share:.0f} %)"
          + (f"; {len(results['unbuilt'])} did not build" if results["unbuilt"] else ""))
    for what in results["missed"]:
        print(f"  missed: {what}")
    return 0 if not results["unbuilt"] else 1


if __name__ == "__main__":
    sys.exit(main())
