#!/usr/bin/env python3
"""Kills varnholt-cli apply at random moments and checks that nothing is lost or left.

    bench/kill_apply.py BUILD_DIR [--size-mib 64] [--runs 200] [--seed 1]

Builds a save of the given size with savegen, learns how long an apply takes,
then runs many applies and sends each a SIGKILL after a random delay between 0
and 1.2 times that long. Half of them write the default VarnholtNNN name (a new
file), half replace an earlier output given with --output. After every run:
  - the save is intact (same bytes as before),
  - the output is absent or complete: absent or the earlier file when replacing
    (the kill came first), or exactly the bytes of a finished apply,
  - the folder holds nothing else: no temporary file, named or hidden.
Prints how many kills landed before and after the output appeared, and any
fault; exits 1 when there was one. Files live under $BENCH_DIR (default /tmp)
and are removed at the end.
"""
import argparse
import hashlib
import os
import random
import signal
import statistics
import subprocess
import sys
import tempfile
import time


def digest(path):
    h = hashlib.sha256()
    with open(path, "rb") as f:
        while chunk := f.read(1 << 20):
            h.update(chunk)
    return h.hexdigest()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--size-mib", type=int, default=64)
    parser.add_argument("--runs", type=int, default=200)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    cli = os.path.join(args.build, "cli", "varnholt-cli")
    savegen = os.path.join(args.build, "tools", "savegen", "savegen")
    rng = random.Random(args.seed)

    with tempfile.TemporaryDirectory(dir=os.environ.get("BENCH_DIR", "/tmp")) as folder:
        save = os.path.join(folder, "quick.sav")
        subprocess.run([savegen, "--release", "1.5", "--anchor-gap", "1000", "--size",
                        str(args.size_mib << 20), "-o", save], check=True)
        save_digest = digest(save)
        edit = ["--unit-scale", "80", "--year", "120", "--era", "BC", "--season", "winter"]
        default_out = os.path.join(folder, "Varnholt000.sav")
        earlier_out = os.path.join(folder, "earlier.sav")
        earlier_bytes = b"an earlier output, to be replaced whole or not at all\n"

        # A finished apply: its bytes and how long it takes.
        durations = []
        for _ in range(5):
            start = time.perf_counter()
            subprocess.run([cli, "apply", save] + edit, check=True, stdout=subprocess.DEVNULL)
            durations.append(time.perf_counter() - start)
            complete_digest = digest(default_out)
            os.remove(default_out)
        typical = statistics.median(durations)

        faults = []
        outcomes = {"killed, no output yet": 0, "killed, output complete": 0, "finished": 0}
        for run in range(args.runs):
            replacing = run % 2 == 1
            if replacing:
                with open(earlier_out, "wb") as f:
                    f.write(earlier_bytes)
                out = earlier_out
                command = [cli, "apply", save, "--output", out] + edit
            else:
                out = default_out
                command = [cli, "apply", save] + edit
            before = set(os.listdir(folder))
            delay = rng.uniform(0, 1.2 * typical)
            process = subprocess.Popen(command, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
            time.sleep(delay)
            process.send_signal(signal.SIGKILL)
            status = process.wait()
            killed = status == -signal.SIGKILL

            after = set(os.listdir(folder))
            extra = sorted(after - before - {os.path.basename(out)})
            if extra or (before - after):
                faults.append(f"run {run}: folder changed beyond the output: +{extra} "
                              f"-{sorted(before - after)}")
            if digest(save) != save_digest:
                faults.append(f"run {run}: the save changed")
                save_digest = digest(save)
            present = os.path.exists(out)
            if present and digest(out) == complete_digest:
                state = "complete"
            elif not present or (replacing and open(out, "rb").read() == earlier_bytes):
                state = "absent"
            else:
                state = "partial"
                faults.append(f"run {run}: a partial output of {os.path.getsize(out)} bytes")
            if not killed:
                if state != "complete" or status != 0:
                    faults.append(f"run {run}: finished with status {status}, output {state}")
                outcomes["finished"] += 1
            elif state == "complete":
                outcomes["killed, output complete"] += 1
            else:
                outcomes["killed, no output yet"] += 1
            for name in (default_out, earlier_out):
                if os.path.exists(name):
                    os.remove(name)

    print(f"save size: {args.size_mib} MiB, {args.runs} applies, a finished one takes "
          f"{typical * 1000:.0f} ms; SIGKILL after 0 to {1.2 * typical * 1000:.0f} ms")
    for outcome, count in outcomes.items():
        print(f"  {outcome}: {count}")
    if faults:
        print(f"{len(faults)} faults:")
        for fault in faults[:20]:
            print("  " + fault)
        sys.exit(1)
    print("no faults: the save always intact, the output absent or complete, no leftover files")


if __name__ == "__main__":
    main()
