#!/usr/bin/env python3
"""Times brellam converting made-up skin texts against cp copying them.

For each size, brellam (into a throwaway host folder) and cp (into a folder
on the same file system) run in turns, interleaved, several times; the table
gives the medians, their ratio, the time per MiB and brellam's peak resident
memory. Processes are started with posix_spawn, so each time is one whole
process, start to exit. Peak memory comes from one more run under GNU time (Debian package
"time"): a process spawned from this script would inherit its size.
Build first: cmake --preset bench && cmake --build --preset bench -j2
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

MIB = 1 << 20
TYPICAL_SIZE = 30 << 10


def parse_args():
    here = os.path.dirname(os.path.abspath(__file__))
    default_build = os.path.join(os.path.dirname(here), "build", "bench")
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=default_build, help="the bench preset's build folder")
    parser.add_argument("--sizes", default="1,16,128,256", help="skin sizes in MiB")
    parser.add_argument("--repeats", type=int, default=7, help="runs of each program per size")
    parser.add_argument("--typical-repeats", type=int, default=300,
                        help="runs of each program on the 30 KiB skin")
    parser.add_argument("--work", default=None, help="scratch folder (default: a new one in /tmp)")
    return parser.parse_args()


QUIET = [(os.POSIX_SPAWN_OPEN, 1, os.devnull, os.O_WRONLY, 0)]
GNU_TIME = "/usr/bin/time"


def run(argv, env):
    """Seconds from spawn to exit."""
    start = time.perf_counter()
    pid = os.posix_spawn(argv[0], argv, env, file_actions=QUIET)
    _, status = os.waitpid(pid, 0)
    seconds = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{' '.join(argv)} failed with status {status}")
    return seconds


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
        self.work = work
        self.skins = os.path.join(work, "host", "Kyrlen", "skin")
        self.copies = os.path.join(work, "copies")
        config = os.path.join(work, "config")
        os.makedirs(os.path.join(config, "Kyrlen"))
        os.makedirs(os.path.join(work, "host", "Kyrlen"))
        os.makedirs(self.copies)
        with open(os.path.join(config, "Kyrlen", "settings.ini"), "w") as ini:
            ini.write(f"[Path]\nPath={os.path.join(work, 'host', 'Kyrlen', 'kyrlen.exe')}\n")
        self.env = dict(os.environ, XDG_CONFIG_HOME=config)

    def make_skin_text(self, size):
        path = os.path.join(self.work, f"skin{size}.txt")
        subprocess.run([self.make_skin, str(size), path], check=True)
        return path

    def convert(self, source):
        result = run([self.brellam, source], self.env)
        shutil.rmtree(self.skins)
        return result

    def convert_peak_memory(self, source):
        result = peak_memory([self.brellam, source], self.env)
        shutil.rmtree(self.skins)
        return result

    def copy(self, source):
        result = run([self.cp, source, self.copies + "/"], self.env)
        os.unlink(os.path.join(self.copies, os.path.basename(source)))
        return result

    def measure(self, source, repeats, settle):
        """Interleaved runs, each program first in every other round."""
        self.convert(source)  # the source is in the page cache from here on
        self.copy(source)
        times = {self.convert: [], self.copy: []}
        for round_ in range(repeats):
            order = (self.convert, self.copy) if round_ % 2 == 0 else (self.copy, self.convert)
            for step in order:
                times[step].append(step(source))
                if settle:
                    os.sync()  # the deleted output's write-back does not spill into the next run
        return times[self.convert], times[self.copy], self.convert_peak_memory(source)


def row(size, brellam, cp, peak):
    b, c = statistics.median(brellam), statistics.median(cp)
    ratios = [x / y for x, y in zip(brellam, cp)]
    mib = size / MIB
    return {
        "size": f"{mib:g} MiB" if size >= MIB else f"{size >> 10} KiB",
        "brellam_ms": b * 1e3,
        "cp_ms": c * 1e3,
        "ratio": statistics.median(ratios),
        "brellam_ms_per_mib": b * 1e3 / mib,
        "cp_ms_per_mib": c * 1e3 / mib,
        "peak": peak,
        "size_bytes": size,
    }


def print_table(rows):
    print("| size | brellam (ms) | cp (ms) | brellam/cp | brellam ms/MiB | cp ms/MiB "
          "| brellam peak RSS | RSS / input |")
    print("|---:|---:|---:|---:|---:|---:|---:|---:|")
    for r in rows:
        peak = r["peak"]
        memory = "n/a | n/a" if peak is None else \
            f"{peak / MIB:.1f} MiB | {peak / r['size_bytes']:.3f}"
        print(f"| {r['size']} | {r['brellam_ms']:.3f} | {r['cp_ms']:.3f} | {r['ratio']:.2f} "
              f"| {r['brellam_ms_per_mib']:.2f} | {r['cp_ms_per_mib']:.2f} | {memory} |")


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


def main():
    args = parse_args()
    work = args.work or tempfile.mkdtemp(prefix="brellam-bench.", dir="/tmp")
    bench = Bench(os.path.abspath(args.build), work)
    describe_machine(work)
    try:
        rows = []
        typical = bench.make_skin_text(TYPICAL_SIZE)
        rows.append(row(TYPICAL_SIZE, *bench.measure(typical, args.typical_repeats, False)))
        for mib in (int(s) for s in args.sizes.split(",")):
            source = bench.make_skin_text(mib * MIB)
            rows.append(row(mib * MIB, *bench.measure(source, args.repeats, True)))
            os.unlink(source)
        print_table(rows)
        print_flatness(rows)
        print(f"load average at the end: {os.getloadavg()[0]:.2f}")
    finally:
        if args.work is None:
            shutil.rmtree(work)


if __name__ == "__main__":
    main()
