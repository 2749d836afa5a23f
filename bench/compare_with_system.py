#!/usr/bin/env python3
"""Whole-process time and peak memory of varnholt-cli against cat and dd.

    bench/compare_with_system.py BUILD_DIR [--size-mib 64] [--runs 15]
                                           [--peak-sizes-mib 64,1024]

Builds a save of the given size with savegen, then runs, interleaved so that
the machine's state is shared fairly:
    apply:  varnholt-cli apply SAVE --output OUT --unit-scale 80
    dd:     dd if=SAVE of=COPY bs=16M conv=fsync   (a durable copy)
    info:   varnholt-cli info SAVE
    cat:    cat SAVE > /dev/null
and prints medians and the two ratios. Then it measures the peak resident
memory of apply on saves of each of the peak sizes (one run each, a fresh save
per size), and of info on the first.

Peak memory is taken with GNU time (/usr/bin/time, Debian package "time"): a
process started from this script would count the memory of the Python
interpreter it was forked from. Without GNU time the peaks shown are upper
bounds that include it. Saves are made under $BENCH_DIR (default /tmp) and
removed at the end.
"""
import argparse
import os
import statistics
import subprocess
import tempfile
import time

GNU_TIME = "/usr/bin/time"
TARGET_RATIO = 1.0
TARGET_PEAK_MIB = 8


def run(command, stdout=subprocess.DEVNULL):
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=stdout, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(process.pid, 0)
    elapsed = time.perf_counter() - start
    process.returncode = os.waitstatus_to_exitcode(status)
    error = process.stderr.read().decode()
    process.stderr.close()
    if process.returncode != 0:
        raise SystemExit(f"{command[0]} failed: {error}")
    return elapsed, usage.ru_maxrss, error  # KiB on Linux


def peak_kib(command):
    """Peak resident memory of `command` alone, in KiB (see the module's note)."""
    if os.access(GNU_TIME, os.X_OK):
        _, _, error = run([GNU_TIME, "-f", "peak %M"] + command)
        return int(error.strip().splitlines()[-1].split()[1]), True
    _, peak, _ = run(command)
    return peak, False


def make_save(savegen, path, size):
    subprocess.run([savegen, "--release", "1.5", "--anchor-gap", "1000", "--size", str(size),
                    "-o", path], check=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--size-mib", type=int, default=64)
    parser.add_argument("--runs", type=int, default=15)
    parser.add_argument("--peak-sizes-mib", default="64,1024",
                        help="save sizes for the peak-memory runs, comma-separated")
    args = parser.parse_args()
    cli = os.path.join(args.build, "cli", "varnholt-cli")
    savegen = os.path.join(args.build, "tools", "savegen", "savegen")
    peak_sizes = [int(size) for size in args.peak_sizes_mib.split(",") if size]

    with tempfile.TemporaryDirectory(dir=os.environ.get("BENCH_DIR", "/tmp")) as folder:
        save = os.path.join(folder, "big.sav")
        out = os.path.join(folder, "out.sav")
        make_save(savegen, save, args.size_mib << 20)
        commands = {
            "apply": [cli, "apply", save, "--output", out, "--unit-scale", "80"],
            "dd": ["dd", f"if={save}", f"of={os.path.join(folder, 'copy.sav')}", "bs=16M",
                   "conv=fsync", "status=none"],
            "info": [cli, "info", save],
            "cat": ["cat", save],
        }
        times = {name: [] for name in commands}
        for command in commands.values():  # warm-up
            run(command)
        for _ in range(args.runs):
            for name, command in commands.items():
                times[name].append(run(command)[0])

        peaks = []
        exact = True
        for size_mib in peak_sizes:
            for name in os.listdir(folder):
                os.remove(os.path.join(folder, name))
            make_save(savegen, save, size_mib << 20)
            kib, exact = peak_kib(commands["apply"])
            peaks.append((f"apply, {size_mib} MiB save", kib))
            if size_mib == peak_sizes[0]:
                kib, exact = peak_kib(commands["info"])
                peaks.append((f"info,  {size_mib} MiB save", kib))

    median = {name: statistics.median(values) for name, values in times.items()}
    print(f"save size: {args.size_mib} MiB, {args.runs} interleaved runs each")
    for name in commands:
        print(f"  {name:6s} median {median[name] * 1000:8.1f} ms")
    ratio = median["apply"] / median["dd"]
    verdict = "within" if ratio <= TARGET_RATIO else "OVER"
    print(f"apply / dd   = {ratio:.2f}  ({verdict} the target of {TARGET_RATIO})")
    print(f"info  / cat  = {median['info'] / median['cat']:.2f}")
    note = "" if exact else "  (upper bound: GNU time is missing, the launcher's memory counts)"
    print(f"peak resident memory{note}:")
    for label, kib in peaks:
        verdict = "within" if kib / 1024 < TARGET_PEAK_MIB else "OVER"
        print(f"  {label}: {kib / 1024:6.1f} MiB, {verdict} the {TARGET_PEAK_MIB} MiB target")


if __name__ == "__main__":
    main()
