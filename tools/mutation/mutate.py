#!/usr/bin/env python3
"""A fault audit of the tests: single faults put into the sources one at a time
(a flipped comparison, an off-by-one bound, a dropped statement, a swapped
constant), each built and tested; a fault the tests do not notice survives.

    tools/mutation/mutate.py --build BUILD --files 'core/*.cpp' 'core/*.h' \
        --targets core_tests --suites core_tests cli_tests editor_tests \
        --full 'ctest --test-dir BUILD -j2' --sample 150 --out report.md

BUILD is a configured build folder (cmake --preset default, or a copy of its
settings in another folder). For each fault: the file is changed, the targets
are built (a fault that does not compile is left out of the count), the fast
check runs, and where it passes, everything is built and the full command runs
too, so that every program it starts holds the fault. The fast check is either
--suites, test programs of the build folder, built with each fault and run one
after the other (the cheapest first: a fault the first one kills costs no other
run), or any
--fast command. A fault is killed when a command fails or runs out of time. The file is restored after every
fault, and on Ctrl+C or a plain kill (SIGTERM), also when run in the background.
The report lists the survivors with their places.

A source file that the build folder does not compile (another platform's file)
is refused: its faults would survive without ever being built.
"""

import argparse
import glob
import json
import os
import random
import re
import shlex
import signal
import subprocess
import sys
import time
from pathlib import Path

# Each operator: a pattern over a line whose strings and comments are blanked,
# and the replacement. clang-format writes binary operators with a blank on
# each side, which tells them from template brackets, pointers and unary signs.
OPERATORS = [
    ("relational", r" < ", " <= "),
    ("relational", r" <= ", " < "),
    ("relational", r" > ", " >= "),
    ("relational", r" >= ", " > "),
    ("equality", r" == ", " != "),
    ("equality", r" != ", " == "),
    ("logical", r" && ", " || "),
    ("logical", r" \|\| ", " && "),
    ("arithmetic", r" \+ ", " - "),
    ("arithmetic", r" - ", " + "),
    ("negation", r"(?<![!=<>&|])!(?=[A-Za-z_(])", ""),
    ("boolean", r"\btrue\b", "false"),
    ("boolean", r"\bfalse\b", "true"),
]
NUMBER = re.compile(r"(?<![\w.])(\d+)(?![\w.])")
STATEMENT = re.compile(r"^(\s*)(?!return\b|case\b|default\b|break\b|continue\b)"
                       r"[\w:.>\-\[\]()*&]+(\(.*\)|\s*[-+*/|&]?=\s*.+|\+\+|--);\s*$")


def blank_strings_and_comments(text):
    """The text with string and character literals and comments replaced by
    blanks of the same length, so that positions stay the same."""
    out = []
    i = 0
    n = len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            out.append(" " * (j - i))
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append("".join(ch if ch == "\n" else " " for ch in text[i:j]))
            i = j
        elif text.startswith('R"', i) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            m = re.match(r'R"([^(]*)\(', text[i:])
            end = text.find(")" + m.group(1) + '"', i) if m else -1
            j = n if end < 0 else end + len(m.group(1)) + 2
            out.append("".join(ch if ch == "\n" else " " for ch in text[i:j]))
            i = j
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            if j < n and text[j] == c:
                j += 1  # the closing quote; an unclosed one keeps its line's end
            out.append(c + " " * (j - i - 2) + c if j - i >= 2 else " " * (j - i))
            i = j
        else:
            out.append(c)
            i += 1
    return "".join(out)


def mutants_of(path):
    text = Path(path).read_text()
    masked = blank_strings_and_comments(text)
    lines = text.split("\n")
    masked_lines = masked.split("\n")
    found = []
    for number, (line, mask) in enumerate(zip(lines, masked_lines), start=1):
        stripped = mask.strip()
        if not stripped or stripped.startswith("#") or "static_assert" in mask:
            continue
        for kind, pattern, replacement in OPERATORS:
            for m in re.finditer(pattern, mask):
                new = line[: m.start()] + replacement + line[m.end():]
                found.append((kind, number, new, m.start()))
        for m in NUMBER.finditer(mask):
            value = int(m.group(1))
            for other in (value + 1, value - 1):
                if other >= 0:
                    found.append(("constant", number, line[: m.start()] + str(other) + line[m.end():],
                                  m.start()))
        if STATEMENT.match(mask) and "{" not in mask and "}" not in mask:
            indent = re.match(r"\s*", line).group(0)
            found.append(("dropped statement", number, indent + ";", 0))
    return [{"file": path, "kind": k, "line": ln, "original": lines[ln - 1], "mutant": new,
             "column": column} for k, ln, new, column in found]


RECT = re.compile(r"\{\s*\d+,\s*\d+,\s*\d+,\s*\d+\s*\}")


def in_rect(m):
    """Whether a constant fault changes a number of a rectangle literal
    ({x, y, width, height}) on its line."""
    return m["kind"] == "constant" and any(
        r.start() <= m["column"] < r.end() for r in RECT.finditer(m["original"]))


def run(command, timeout):
    # In a process group of its own, so that a timeout or a stop ends the whole
    # command (a test caught in an endless loop, a build), not only its shell.
    process = subprocess.Popen(command, shell=True, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, start_new_session=True)
    try:
        return process.wait(timeout=timeout)
    except BaseException as stopped:
        os.killpg(process.pid, signal.SIGKILL)
        process.wait()
        if isinstance(stopped, subprocess.TimeoutExpired):
            return "timeout"
        raise


def suites_command(build, suites):
    """A shell command that runs each suite in turn (they are built with the
    fault, as targets) and fails with the first that fails (offscreen, for the
    Qt suites). A suite that cannot be found fails too: a run of nothing proves
    nothing."""
    steps = []
    for suite in suites:
        steps.append(f"s=$(find {shlex.quote(build)} -type f -perm -u+x -name {shlex.quote(suite)} "
                     f"-print -quit) && [ -n \"$s\" ] && \"$s\"")
    return ("export GTEST_FAIL_FAST=1 QT_QPA_PLATFORM=offscreen; " +
            " && ".join(steps))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", required=True, help="the configured build folder")
    parser.add_argument("--files", nargs="+", required=True, help="globs of the sources to fault")
    parser.add_argument("--exclude", nargs="*", default=[], help="globs of sources to leave alone")
    parser.add_argument("--targets", nargs="+", required=True, help="what to build for each fault")
    fast = parser.add_mutually_exclusive_group(required=True)
    fast.add_argument("--suites", nargs="+", help="test programs of the build folder (targets), "
                      "built and run in turn; GoogleTest suites stop at their first failure")
    fast.add_argument("--fast", help="the quick test command")
    parser.add_argument("--full", default="", help="run where the quick one passes")
    parser.add_argument("--sample", type=int, default=0, help="faults to try; 0: all")
    parser.add_argument("--seed", type=int, default=12)
    parser.add_argument("--start", type=int, default=0,
                        help="skip this many faults of the seed's order (to go on with a sample)")
    parser.add_argument("--timeout", type=int, default=300, help="seconds per test command")
    parser.add_argument("--out", required=True, help="the report (Markdown); a .json beside it")
    parser.add_argument("--list", action="store_true", help="only count the faults")
    parser.add_argument("--rerun", help="try again the survivors of this .json report (after "
                        "new tests), instead of a sample")
    parser.add_argument("--data-lines", nargs="*", default=[], metavar="FILE:FIRST-LAST",
                        help="lines of a data table: the numbers of its rectangles "
                        "({x, y, width, height}, a dialog's coordinates) are not faulted; "
                        "everything else on them is")
    args = parser.parse_args()

    excluded = {p for g in args.exclude for p in glob.glob(g)}
    files = sorted({p for g in args.files for p in glob.glob(g)} - excluded)
    commands = Path(args.build) / "compile_commands.json"
    if commands.exists():
        compiled = {str(Path(e["file"]).resolve()) for e in json.loads(commands.read_text())}
        missing = [f for f in files if f.endswith((".c", ".cc", ".cpp"))
                   and str(Path(f).resolve()) not in compiled]
        if missing:
            print(f"not compiled in {args.build} (leave out with --exclude): {' '.join(missing)}",
                  file=sys.stderr)
            return 2
    data = set()
    for spec in args.data_lines:
        path, _, span = spec.rpartition(":")
        first, _, last = span.partition("-")
        data.update((path, n) for n in range(int(first), int(last or first) + 1))
    mutants = [m for f in files for m in mutants_of(f)
               if not ((f, m["line"]) in data and in_rect(m))]
    print(f"{len(mutants)} faults in {len(files)} files", flush=True)
    if args.list:
        return 0
    random.Random(args.seed).shuffle(mutants)
    mutants = mutants[args.start:]
    if args.sample:
        mutants = mutants[: args.sample]
    if args.rerun:
        mutants = [{k: v for k, v in m.items() if k != "outcome"}
                   for m in json.loads(Path(args.rerun).read_text()) if m["outcome"] == "survived"]
        for m in mutants:
            if Path(m["file"]).read_text().split("\n")[m["line"] - 1] != m["original"]:
                print(f"{m['file']}:{m['line']} has changed since; fault it anew", file=sys.stderr)
                return 2

    if args.suites:
        args.fast = suites_command(args.build, args.suites)
        # A fault that breaks a suite's build does not compile; it is not killed.
        args.targets += [s for s in args.suites if s not in args.targets]
    build = f"cmake --build {args.build} -j2 --target {' '.join(args.targets)}"
    # The full command may start any program of the build (the command line's
    # differential check, the window tests), so everything is built before it.
    build_all = f"cmake --build {args.build} -j2"
    if run(build_all if args.full else build, 3600) != 0:
        print("the unchanged sources do not build", file=sys.stderr)
        return 2
    if run(args.fast, args.timeout) != 0 or (args.full and run(args.full, args.timeout) != 0):
        print("the tests fail on the unchanged sources", file=sys.stderr)
        return 2

    # A shell that starts the tool in the background ignores SIGINT for it, and
    # SIGTERM would end it without restoring the faulted file: both stop the run.
    def stop(signum, frame):
        raise KeyboardInterrupt
    signal.signal(signal.SIGINT, stop)
    signal.signal(signal.SIGTERM, stop)

    results = []
    started = time.time()
    try:
        for index, m in enumerate(mutants, start=1):
            path = Path(m["file"])
            original = path.read_bytes()  # restored byte for byte
            lines = original.decode().split("\n")
            lines[m["line"] - 1] = m["mutant"]
            try:
                path.write_text("\n".join(lines))
                if run(build, 1800) != 0:
                    m["outcome"] = "does not compile"
                elif run(args.fast, args.timeout) != 0:
                    m["outcome"] = "killed"
                elif args.full and run(build_all, 3600) != 0:
                    m["outcome"] = "does not compile"
                elif args.full and run(args.full, args.timeout) != 0:
                    m["outcome"] = "killed by the full run"
                else:
                    m["outcome"] = "survived"
            finally:
                path.write_bytes(original)
            results.append(m)
            print(f"[{index}/{len(mutants)}] {m['outcome']}: {m['file']}:{m['line']} {m['kind']}",
                  flush=True)
    except KeyboardInterrupt:
        print("stopped; the report holds the faults tried so far", file=sys.stderr)
    finally:
        run(build_all if args.full else build, 3600)  # the build matches the sources again

    counted = [r for r in results if r["outcome"] != "does not compile"]
    killed = [r for r in counted if r["outcome"].startswith("killed")]
    survivors = [r for r in counted if r["outcome"] == "survived"]
    share = 100.0 * len(killed) / len(counted) if counted else 0.0
    Path(args.out).with_suffix(".json").write_text(json.dumps(results, indent=1))
    with open(args.out, "w") as report:
        report.write(f"# Fault audit: {' '.join(args.files)}\n\n")
        tried = (f"survivors of {args.rerun}" if args.rerun
                 else f"seed {args.seed}, from fault {args.start + 1} of its order")
        report.write(f"{len(results)} faults tried ({tried}), "
                     f"{len(results) - len(counted)} did not compile; of the {len(counted)} "
                     f"that did, {len(killed)} were killed: {share:.1f} %. "
                     f"{time.time() - started:.0f} s.\n\n")
        report.write("## Survivors\n\n")
        for r in survivors:
            report.write(f"- {r['file']}:{r['line']} ({r['kind']})\n"
                         f"  - was: `{r['original'].strip()}`\n"
                         f"  - now: `{r['mutant'].strip()}`\n")
    print(f"killed {len(killed)} of {len(counted)} ({share:.1f} %); report in {args.out}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
