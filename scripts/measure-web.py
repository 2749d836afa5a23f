#!/usr/bin/python3
"""Measures the browser edition in each engine beside varnholt-cli apply on the same file: load +
Apply of large saves until the copy is handed over (the page idle again) and until it is on disk,
the renderer memory the work adds (Chromium: its renderers; Firefox: its content processes;
WebKitGTK: its WebKitWebProcess), and whether the copy equals varnholt-cli apply's, byte for byte.
A measurement, not a test: it prints a table per engine and fails only when it cannot measure.

Usage: scripts/measure-web.py [--engines chromium,firefox,webkitgtk] [--sizes 64M,1G,4G]
                              [--page build/web/varnholt.html] [--native build/default] [--work DIR]
4 GiB is measured in Chromium and Firefox only. Needs the native build's varnholt-cli and savegen,
build-web.sh's page, and npm ci in tests/web (Firefox). The saves and copies take room in --work:
about three times the biggest size.
"""

import argparse
import filecmp
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time
from pathlib import Path

SOURCE = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(SOURCE / "tests/web"))
import engines  # noqa: E402

ID_OUTPUT, ID_APPLY, ID_SET_YEAR, ID_YEAR = "c1010", "c1000", "c1019", "c1021"
UNITS = {"M": 1 << 20, "G": 1 << 30}


def resident_kib(pids):
    total = 0
    for pid in pids:
        try:
            for line in Path("/proc/%d/status" % pid).read_text().splitlines():
                if line.startswith("VmRSS:"):
                    total += int(line.split()[1])
        except OSError:
            pass
    return total


class PeakMemory:
    """Samples the renderers' resident memory every 10 ms; `added` is the peak above the start."""

    def __init__(self, pids):
        self.pids, self.start = pids, resident_kib(pids)
        self.peak, self.running = self.start, True
        self.thread = threading.Thread(target=self.sample, daemon=True)
        self.thread.start()

    def sample(self):
        while self.running:
            self.peak = max(self.peak, resident_kib(self.pids))
            time.sleep(0.01)

    def stop(self):
        self.running = False
        self.thread.join()
        return (self.peak - self.start) / 1024


def wait(condition, timeout):
    end = time.monotonic() + timeout
    while not (result := condition()):
        if time.monotonic() > end:
            return None
        time.sleep(0.01)
    return result


def page_state(engine):
    return engine.script("""
        const m = document.getElementById('message'), o = document.getElementById(arguments[0]);
        return {idle: document.getElementById('editor').getAttribute('aria-busy') === 'false',
                message: m && m.open ? document.getElementById('message-text').textContent : null,
                output: o.tagName === 'INPUT' ? o.value : o.textContent};""", ID_OUTPUT)


def measure(engine, save, expected, timeout):
    """Load + Apply of `save` in `engine`: the times, the memory added and the copy's fate."""
    engine.set_width(1280)
    engine.open(args.page.as_uri() + "?lang=en")
    wait(lambda: page_state(engine)["idle"], 60)
    memory = PeakMemory(engine.renderer_pids())
    started = time.monotonic()
    engine.upload("file-picker", save)
    state = wait(lambda: (s := page_state(engine))["idle"] and (s["message"] or s["output"]) and s, timeout)
    loaded = time.monotonic()
    if not state or state["message"]:
        return {"failed": "load: " + (state["message"] if state else "no end after %d s" % timeout),
                "memory": memory.stop()}
    engine.click(ID_SET_YEAR)
    engine.type_into(ID_YEAR, "77")
    # The page's busy mark, as it changes: Apply's end is its last change back to idle.
    engine.script("""
        const editor = document.getElementById('editor'), log = window.varnholtBusyLog = [];
        new MutationObserver(() => log.push([editor.getAttribute('aria-busy'), performance.now()]))
            .observe(editor, {attributes: true, attributeFilter: ['aria-busy']});""")
    clicked = time.monotonic()
    click_in_page = engine.script("const t = performance.now(); document.getElementById(arguments[0]).click();"
                                  "return t", ID_APPLY)
    copy = wait(lambda: engine.finished_download() or page_state(engine)["message"], timeout)
    on_disk = time.monotonic() - 0.2  # the wait for a steady size
    if isinstance(copy, str):
        return {"failed": "Apply: " + copy, "memory": memory.stop()}
    ends = [t for busy, t in engine.script("return window.varnholtBusyLog") if busy == "false"]
    handed = clicked + (ends[-1] - click_in_page) / 1000 if ends else on_disk
    added = memory.stop()
    if not copy:
        return {"failed": "no copy arrived within %d s" % timeout, "memory": added}
    name, path = copy
    equal = filecmp.cmp(path, expected, shallow=False)
    path.unlink()
    measures = dict(engine.script("return performance.getEntriesByType('measure').map(m => [m.name, m.duration])"))
    return {"load": loaded - started, "apply": handed - clicked, "handed": (loaded - started) + (handed - clicked),
            "on disk": (loaded - started) + (on_disk - clicked), "memory": added, "equal": equal, "name": name,
            "page's own": {k: round(v) for k, v in measures.items() if k.startswith("varnholt")}}


def cli_apply(save, output):
    times = []
    for _ in range(1 if save.stat().st_size > (1 << 30) else 3):
        started = time.monotonic()
        subprocess.run([str(args.native / "cli/varnholt-cli"), "apply", str(save), "-o", str(output),
                        "--year", "77"], check=True, capture_output=True)
        times.append(time.monotonic() - started)
    return statistics.median(times)


def main():
    global args
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--engines", default="chromium,firefox,webkitgtk")
    parser.add_argument("--sizes", default="64M,1G,4G")
    parser.add_argument("--page", type=Path, default=SOURCE / "build/web/varnholt.html")
    parser.add_argument("--native", type=Path, default=SOURCE / "build/default")
    parser.add_argument("--work", type=Path, default=None)
    parser.add_argument("--timeout", type=int, default=300, help="seconds for each step")
    args = parser.parse_args()
    args.page = args.page.resolve()
    work = Path(tempfile.mkdtemp(prefix="varnholt-measure-", dir=args.work))
    try:
        rows = []
        for size_text in args.sizes.split(","):
            size = int(size_text[:-1]) * UNITS[size_text[-1]]
            save, expected = work / ("%s.sav" % size_text), work / ("%s-cli.sav" % size_text)
            subprocess.run([str(args.native / "tools/savegen/savegen"), "--release", "1.5", "--anchor-gap", "1000",
                            "--size", str(size), "-o", str(save)], check=True)
            cli_seconds = cli_apply(save, expected)
            for name in args.engines.split(","):
                if size > (1 << 30) and name == "webkitgtk":
                    continue
                downloads = work / ("downloads-" + name)
                downloads.mkdir(exist_ok=True)
                engine = engines.start(name, downloads)
                try:
                    result = measure(engine, save, expected, args.timeout)
                finally:
                    engine.quit()
                    shutil.rmtree(downloads, ignore_errors=True)
                rows.append((name, size_text, cli_seconds, result))
                print(name, size_text, "varnholt-cli apply %.3f s" % cli_seconds, result, flush=True)
            save.unlink()
            expected.unlink()
        print("\n| engine | save | load | Apply (until handed over) | load + Apply | until on disk | varnholt-cli apply "
              "| renderer memory added | copy equals the CLI's |\n|---|---|---|---|---|---|---|---|---|")
        for name, size_text, cli_seconds, r in rows:
            if "failed" in r:
                print("| %s | %s | fails: %s | | | | %.2f s | %.0f MiB | no |" % (
                    name, size_text, r["failed"], cli_seconds, r["memory"]))
            else:
                print("| %s | %s | %.2f s | %.2f s | %.2f s | %.2f s | %.2f s | %.0f MiB | %s |" % (
                    name, size_text, r["load"], r["apply"], r["handed"], r["on disk"], cli_seconds, r["memory"],
                    "yes" if r["equal"] else "NO"))
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
