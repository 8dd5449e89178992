#!/usr/bin/env python3
"""Times brellam converting made-up skin texts against cp copying them.

Each case is something people do: install a skin into a host folder that
has no skin folder yet ("fresh"), convert it again over the skin folder of
an earlier run, as a skin maker does after every edit ("again"), convert a
skin that names NewRes.htm on every body line, fresh ("many-mentions") and
again ("many-mentions-again"), or one saved as UTF-8 or UTF-16 into a fresh
host folder ("utf-8", "utf-16"). For each
case and size, brellam, cp followed by sync of the copy (the anchor for a
program that flushes what it writes) and plain cp run in turns,
interleaved, several times; in "again" each keeps its output of the round
before, so cp copies over an existing file. The tables give the medians,
brellam's ratio to each anchor, its time per MiB and its peak resident
memory. Processes are started with posix_spawn, so each time is whole
processes, start to exit. Peak memory comes from one more run under GNU
time (Debian package "time"): a process spawned from this script would
inherit its size. With --large, each case also converts a text of that
size under a 256 MiB address-space limit, and its peak memory is shown.
Build first: cmake --preset bench && cmake --build --preset bench -j2
"""

import argparse
import codecs
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from dataclasses import dataclass

MIB = 1 << 20
TYPICAL_SIZE = 30 << 10


@dataclass(frozen=True)
class Case:
    name: str
    what: str
    skin_options: tuple  # brellam_make_skin_text's options
    again: bool  # outputs of the round before stay in place
    utf16: bool = False  # the UTF-8 text saved again as UTF-16 with its mark


CASES = [
    Case("fresh", "into a host folder with no skin folder yet", (), False),
    Case("again", "over the skin folder of an earlier run", (), True),
    Case("many-mentions", "NewRes.htm on every body line, into a fresh host folder",
         ("--mention-every=1",), False),
    Case("many-mentions-again", "NewRes.htm on every body line, over an earlier skin folder",
         ("--mention-every=1",), True),
    Case("utf-8", "the skin saved as UTF-8, into a fresh host folder", ("--utf-8",), False),
    Case("utf-16", "the skin saved as UTF-16, into a fresh host folder", ("--utf-8",), False,
         True),
]
ADDRESS_SPACE_KIB = 262144


def parse_args():
    here = os.path.dirname(os.path.abspath(__file__))
    default_build = os.path.join(os.path.dirname(here), "build", "bench")
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=default_build, help="the bench preset's build folder")
    parser.add_argument("--cases", default=",".join(c.name for c in CASES),
                        help="cases to run, of " + ", ".join(c.name for c in CASES))
    parser.add_argument("--sizes", default="1,16,128,256", help="skin sizes in MiB")
    parser.add_argument("--repeats", type=int, default=7, help="runs of each program per size")
    parser.add_argument("--typical-repeats", type=int, default=300,
                        help="runs of each program on the 30 KiB skin")
    parser.add_argument("--large", type=int, default=0,
                        help="MiB of a text each case also converts under the address-space limit")
    parser.add_argument("--work", default=None, help="scratch folder (default: a new one in /tmp)")
    args = parser.parse_args()
    by_name = {c.name: c for c in CASES}
    unknown = [n for n in args.cases.split(",") if n not in by_name]
    if unknown:
        parser.error(f"unknown case {', '.join(unknown)}")
    args.cases = [by_name[n] for n in args.cases.split(",")]
    return args


QUIET = [(os.POSIX_SPAWN_OPEN, 1, os.devnull, os.O_WRONLY, 0)]
GNU_TIME = "/usr/bin/time"


def run(commands, env):
    """Seconds from the first spawn to the last exit, one command after the other."""
    start = time.perf_counter()
    for argv in commands:
        pid = os.posix_spawn(argv[0], argv, env, file_actions=QUIET)
        _, status = os.waitpid(pid, 0)
        if os.waitstatus_to_exitcode(status) != 0:
            sys.exit(f"{' '.join(argv)} failed with status {status}")
    return time.perf_counter() - start


def peak_memory(argv, env):
    """The peak resident set in bytes, or None without GNU time."""
    if not os.access(GNU_TIME, os.X_OK):
        return None
    result = subprocess.run([GNU_TIME, "-f", "%M", *argv], env=env, check=True,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    return int(result.stderr.split()[-1]) * 1024


class Bench:
    def __init__(self, build, work):
        self.brellam = os.path.join(build, "brellam")
        self.make_skin = os.path.join(build, "bench", "brellam_make_skin_text")
        self.cp = shutil.which("cp")
        self.sync = shutil.which("sync")
        self.work = work
        self.skins = os.path.join(work, "host", "Kyrlen", "skin")
        self.copies = os.path.join(work, "copies")
        self.synced_copies = os.path.join(work, "synced-copies")
        config = os.path.join(work, "config")
        os.makedirs(os.path.join(config, "Kyrlen"))
        os.makedirs(os.path.join(work, "host", "Kyrlen"))
        os.makedirs(self.copies)
        os.makedirs(self.synced_copies)
        with open(os.path.join(config, "Kyrlen", "settings.ini"), "w") as ini:
            ini.write(f"[Path]\nPath={os.path.join(work, 'host', 'Kyrlen', 'kyrlen.exe')}\n")
        self.env = dict(os.environ, XDG_CONFIG_HOME=config)
        self.again = False

    def make_skin_text(self, size, options, utf16=False):
        path = os.path.join(self.work, f"skin{size}.txt")
        subprocess.run([self.make_skin, str(size), path, *options], check=True)
        if utf16:
            decoder = codecs.getincrementaldecoder("utf-8")()
            with open(path, "rb") as utf8, open(path + ".16", "wb") as out:
                out.write(codecs.BOM_UTF16_LE)
                while piece := utf8.read(MIB):
                    out.write(decoder.decode(piece).encode("utf-16-le"))
            os.replace(path + ".16", path)
        return path

    def large_peak_memory(self, source, again):
        """Exit status and peak memory of one run under the address-space limit."""
        if again:
            run([[self.brellam, source]], self.env)
        result = subprocess.run(
            ["/bin/sh", "-c", f"ulimit -v {ADDRESS_SPACE_KIB} && exec \"$@\"", "sh",
             GNU_TIME, "-f", "%M", self.brellam, source],
            env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        self.clear()
        return result.returncode, int(result.stderr.split()[-1]) * 1024

    def clear(self):
        """Removes every output: the next run of each program is a fresh one."""
        shutil.rmtree(self.skins, ignore_errors=True)
        for folder in (self.copies, self.synced_copies):
            for name in os.listdir(folder):
                os.unlink(os.path.join(folder, name))

    def convert(self, source):
        result = run([[self.brellam, source]], self.env)
        if not self.again:
            shutil.rmtree(self.skins)
        return result

    def convert_peak_memory(self, source):
        result = peak_memory([self.brellam, source], self.env)
        if not self.again:
            shutil.rmtree(self.skins)
        return result

    def copy_and_sync(self, source):
        copy = os.path.join(self.synced_copies, os.path.basename(source))
        result = run([[self.cp, source, copy], [self.sync, copy]], self.env)
        if not self.again:
            os.unlink(copy)
        return result

    def copy(self, source):
        copy = os.path.join(self.copies, os.path.basename(source))
        result = run([[self.cp, source, copy]], self.env)
        if not self.again:
            os.unlink(copy)
        return result

    def measure(self, source, again, repeats, settle):
        """Interleaved runs, each program first in a third of the rounds."""
        self.again = again
        steps = [self.convert, self.copy_and_sync, self.copy]
        for step in steps:
            step(source)  # the source is in the page cache from here on; in "again", outputs exist
        times = {step: [] for step in steps}
        for round_ in range(repeats):
            first = round_ % len(steps)
            for step in steps[first:] + steps[:first]:
                times[step].append(step(source))
                if settle:
                    os.sync()  # the output's write-back does not spill into the next run
        peak = self.convert_peak_memory(source)
        self.clear()
        return times[self.convert], times[self.copy_and_sync], times[self.copy], peak


def row(size, brellam, synced, cp, peak):
    b = statistics.median(brellam)
    mib = size / MIB
    return {
        "size": f"{mib:g} MiB" if size >= MIB else f"{size >> 10} KiB",
        "brellam_ms": b * 1e3,
        "synced_ms": statistics.median(synced) * 1e3,
        "cp_ms": statistics.median(cp) * 1e3,
        # Of each round's ratio: the programs of one round met the same load.
        "synced_ratio": statistics.median(x / y for x, y in zip(brellam, synced)),
        "cp_ratio": statistics.median(x / y for x, y in zip(brellam, cp)),
        "brellam_ms_per_mib": b * 1e3 / mib,
        "peak": peak,
        "size_bytes": size,
    }


def print_table(rows):
    print("| size | brellam (ms) | cp+sync (ms) | cp (ms) | brellam/(cp+sync) | brellam/cp "
          "| brellam ms/MiB | brellam peak RSS | RSS / input |")
    print("|---:|---:|---:|---:|---:|---:|---:|---:|---:|")
    for r in rows:
        peak = r["peak"]
        memory = "n/a | n/a" if peak is None else \
            f"{peak / MIB:.1f} MiB | {peak / r['size_bytes']:.3f}"
        print(f"| {r['size']} | {r['brellam_ms']:.3f} | {r['synced_ms']:.3f} | {r['cp_ms']:.3f} "
              f"| {r['synced_ratio']:.2f} | {r['cp_ratio']:.2f} "
              f"| {r['brellam_ms_per_mib']:.2f} | {memory} |")


def print_flatness(rows):
    """Time per MiB over the large sizes, as measured and without the cost
    of a run on the typical skin (mostly process start-up)."""
    typical, large = rows[0], rows[1:]
    if not large:
        return
    whole = [r["brellam_ms_per_mib"] for r in large]
    marginal = [(r["brellam_ms"] - typical["brellam_ms"]) / (r["size_bytes"] / MIB)
                for r in large]
    print(f"\nbrellam ms/MiB, {large[0]['size']} to {large[-1]['size']}: "
          + ", ".join(f"{x:.2f}" for x in whole) + f" (max/min {max(whole) / min(whole):.2f})")
    print(f"the same less the {typical['size']} run ({typical['brellam_ms']:.2f} ms): "
          + ", ".join(f"{x:.2f}" for x in marginal)
          + f" (max/min {max(marginal) / min(marginal):.2f})")


def describe_machine(work):
    with open("/proc/cpuinfo") as cpuinfo:
        model = next((line.split(":", 1)[1].strip() for line in cpuinfo
                      if line.startswith("model name")), "unknown")
    file_system = subprocess.run(["findmnt", "-n", "-o", "FSTYPE", "--target", work],
                                 capture_output=True, text=True).stdout.strip()
    print(f"CPU: {model}, {os.cpu_count()} cores; kernel {os.uname().release}; "
          f"{work} on {file_system}; load average {os.getloadavg()[0]:.2f}")


def run_case(bench, case, args):
    print(f"\n### {case.name}: {case.what}\n")
    print(f"load average at the start: {os.getloadavg()[0]:.2f}\n")
    rows = []
    sizes = [(TYPICAL_SIZE, args.typical_repeats, False)] + \
        [(int(s) * MIB, args.repeats, True) for s in args.sizes.split(",")]
    for size, repeats, settle in sizes:
        source = bench.make_skin_text(size, case.skin_options, case.utf16)
        rows.append(row(size, *bench.measure(source, case.again, repeats, settle)))
        os.unlink(source)
    print_table(rows)
    print_flatness(rows)


def main():
    args = parse_args()
    work = args.work or tempfile.mkdtemp(prefix="brellam-bench.", dir="/tmp")
    bench = Bench(os.path.abspath(args.build), work)
    describe_machine(work)
    try:
        for case in args.cases:
            run_case(bench, case, args)
        if args.large:
            print(f"\n### {args.large} MiB under a {ADDRESS_SPACE_KIB // 1024} MiB "
                  "address-space limit\n")
            print("| case | exit status | brellam peak RSS |")
            print("|---|---:|---:|")
            for case in args.cases:
                source = bench.make_skin_text(args.large * MIB, case.skin_options, case.utf16)
                status, peak = bench.large_peak_memory(source, case.again)
                os.unlink(source)
                print(f"| {case.name} | {status} | {peak / MIB:.1f} MiB |", flush=True)
        print(f"\nload average at the end: {os.getloadavg()[0]:.2f}")
    finally:
        if args.work is None:
            shutil.rmtree(work)


if __name__ == "__main__":
    main()
