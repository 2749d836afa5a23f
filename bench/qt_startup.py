#!/usr/bin/env python3
"""Start-up to first paint of the window program varnholt, against a bare
QDialog holding as many stock widgets (startup_bare_dialog), in the same run.

Each program is started RUNS times, the two alternating (and which goes first
alternating too), after one unmeasured start of each. A start is timed from
just before the process is spawned to the moment its first window has been
painted, which the program reports on the monotonic clock before it ends (the
probe of tools/firstpaint, linked into varnholt_first_paint, which is varnholt
built from the same sources, and into the bare dialog). The goal: varnholt's
median at most 1.3 times the bare dialog's.

Usage: qt_startup.py BUILD_DIR [--runs 15] [--platform offscreen]
       (BUILD_DIR: a build with VARNHOLT_BUILD_BENCH and VARNHOLT_BUILD_TOOLS on,
        e.g. build/bench)
"""

import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

GOAL = 1.3


def first_paint_ms(program, env):
    start = time.monotonic_ns()
    done = subprocess.run([str(program)], env=env, capture_output=True, text=True, timeout=60)
    for line in done.stdout.splitlines():
        if line.startswith("first-paint-ns "):
            return (int(line.split()[1]) - start) / 1e6
    sys.exit(f"{program} did not report its first paint (exit {done.returncode}):\n{done.stderr}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build_dir", type=Path)
    parser.add_argument("--runs", type=int, default=15)
    parser.add_argument("--platform", default="offscreen",
                        help="Qt platform plugin (offscreen; xcb with a DISPLAY)")
    args = parser.parse_args()

    programs = {
        "varnholt": args.build_dir / "tools" / "firstpaint" / "varnholt_first_paint",
        "bare QDialog": args.build_dir / "bench" / "startup_bare_dialog",
    }
    for name, path in programs.items():
        if not path.is_file():
            sys.exit(f"{path} not found: build with -DVARNHOLT_BUILD_BENCH=ON -DVARNHOLT_BUILD_TOOLS=ON"
                     " (cmake --preset bench)")

    runtime = tempfile.mkdtemp(prefix="varnholt-bench-")
    env = dict(os.environ, QT_QPA_PLATFORM=args.platform, XDG_RUNTIME_DIR=runtime)
    times = {name: [] for name in programs}
    for path in programs.values():  # warm the page cache; not counted
        first_paint_ms(path, env)
    for run in range(args.runs):
        order = list(programs.items())
        if run % 2:
            order.reverse()
        for name, path in order:
            times[name].append(first_paint_ms(path, env))
    os.rmdir(runtime)

    print(f"Start-up to first paint, {args.runs} starts each, platform {args.platform}:")
    medians = {}
    for name, values in times.items():
        medians[name] = statistics.median(values)
        print(f"  {name:<13} median {medians[name]:7.1f} ms   min {min(values):7.1f}   max {max(values):7.1f}")
    ratio = medians["varnholt"] / medians["bare QDialog"]
    verdict = "within" if ratio <= GOAL else "OVER"
    print(f"  ratio {ratio:.2f} ({verdict} the goal of {GOAL})")


if __name__ == "__main__":
    main()
