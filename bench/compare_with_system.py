#!/usr/bin/env python3
"""Whole-process time and peak memory of varnholt-cli against cat and dd.

    bench/compare_with_system.py BUILD_DIR [--size-mib 64] [--runs 15]

Builds a save of the given size with savegen, then runs, interleaved so that
the machine's state is shared fairly:
    apply:  varnholt-cli apply SAVE --output OUT --unit-scale 80
    dd:     dd if=SAVE of=COPY bs=16M conv=fsync   (a durable copy)
    info:   varnholt-cli info SAVE
    cat:    cat SAVE > /dev/null
and prints medians, the two ratios and the peak resident memory of each.
"""
import argparse
import os
import statistics
import subprocess
import tempfile
import time


def run(command, stdout):
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=stdout, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(process.pid, 0)
    elapsed = time.perf_counter() - start
    process.returncode = os.waitstatus_to_exitcode(status)
    if process.returncode != 0:
        raise SystemExit(f"{command[0]} failed: {process.stderr.read().decode()}")
    process.stderr.close()
    return elapsed, usage.ru_maxrss  # KiB on Linux


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--size-mib", type=int, default=64)
    parser.add_argument("--runs", type=int, default=15)
    args = parser.parse_args()
    cli = os.path.join(args.build, "cli", "varnholt-cli")
    savegen = os.path.join(args.build, "tools", "savegen", "savegen")

    with tempfile.TemporaryDirectory(dir=os.environ.get("BENCH_DIR", "/tmp")) as folder:
        save = os.path.join(folder, "big.sav")
        size = args.size_mib << 20
        subprocess.run([savegen, "--release", "1.5", "--anchor-gap", "1000", "--size", str(size),
                        "-o", save], check=True)
        commands = {
            "apply": ([cli, "apply", save, "--output", os.path.join(folder, "out.sav"),
                       "--unit-scale", "80"], subprocess.DEVNULL),
            "dd": (["dd", f"if={save}", f"of={os.path.join(folder, 'copy.sav')}", "bs=16M",
                    "conv=fsync", "status=none"], subprocess.DEVNULL),
            "info": ([cli, "info", save], subprocess.DEVNULL),
            "cat": (["cat", save], subprocess.DEVNULL),
        }
        times = {name: [] for name in commands}
        peaks = {name: 0 for name in commands}
        for name, (command, stdout) in commands.items():  # warm-up
            run(command, stdout)
        for _ in range(args.runs):
            for name, (command, stdout) in commands.items():
                elapsed, peak = run(command, stdout)
                times[name].append(elapsed)
                peaks[name] = max(peaks[name], peak)

    median = {name: statistics.median(values) for name, values in times.items()}
    print(f"save size: {args.size_mib} MiB, {args.runs} interleaved runs each")
    for name in commands:
        print(f"  {name:6s} median {median[name] * 1000:8.1f} ms   peak RSS {peaks[name] / 1024:7.1f} MiB")
    print(f"apply / dd   = {median['apply'] / median['dd']:.2f}  (target <= 1.5)")
    print(f"info  / cat  = {median['info'] / median['cat']:.2f}  (target <= 1.5)")
    limit = args.size_mib + 16
    for name in ("apply", "info"):
        verdict = "within" if peaks[name] / 1024 <= limit else "OVER"
        print(f"peak RSS of {name}: {peaks[name] / 1024:.1f} MiB, {verdict} the {limit} MiB limit")


if __name__ == "__main__":
    main()
