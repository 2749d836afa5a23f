#!/usr/bin/python3
"""The page, opened from disk, in one browser engine (chromium, firefox or webkitgtk): a load by
the file input with every group edited and the copy compared with varnholt-cli apply's; two
Applies on one save and their two names; a damaged save and non-saves refused with their texts
and nothing downloaded; German at the narrowest width and at 1280 px, nothing cut or overflowing;
disabled controls drawn as disabled. The run time is printed, never asserted.

Usage: cross_engine.py --engine NAME --page varnholt.html --native BUILD_DIR --source SOURCE_DIR
"""

import argparse
import json
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

import engines
from end_to_end import OVERFLOWS

ARGS = ENGINE = WORK = DOWNLOADS = None
ID = {}  # the controls' identifiers, from the layout headers
GROUPS = ["idSetCampaignDifficulty", "idSetBattleDifficulty", "idSetBattleTimeLimit", "idSetCampaignLength",
          "idSetUnitScale", "idSetYearAndSeason"]


def setUpModule():
    global ENGINE, WORK, DOWNLOADS
    for header in ["window/DialogLayout.h", "editor/EditorLayout.h"]:
        for name, number in re.findall(r"constexpr int (id\w+) = (\d+);", (ARGS.source / header).read_text()):
            ID[name] = int(number)
    WORK = Path(tempfile.mkdtemp(prefix="varnholt-%s-" % ARGS.engine))
    DOWNLOADS = WORK / "downloads"
    DOWNLOADS.mkdir()
    ENGINE = engines.start(ARGS.engine, DOWNLOADS)


def tearDownModule():
    ENGINE.quit()
    shutil.rmtree(WORK, ignore_errors=True)


def wait(condition, what, timeout=20.0):
    end = time.monotonic() + timeout
    while not (result := condition()):
        if time.monotonic() > end:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.05)
    return result


def c(name):
    return "c%d" % ID[name]


def shown_text(name):
    """A box's text, whether the page draws it as an input or as text."""
    return ENGINE.script("const e = document.getElementById(arguments[0]);"
                         "return e.tagName === 'INPUT' ? e.value : e.textContent.trim()", c(name))


def idle():
    return ENGINE.script("return document.getElementById('editor').getAttribute('aria-busy') === 'false'")


def message_open():
    return ENGINE.script("const m = document.getElementById('message'); return !!(m && m.open)")


def open_page(query="?lang=en", width=1280):
    ENGINE.set_width(width)
    ENGINE.open(ARGS.page.as_uri() + query)
    wait(idle, "the page to be ready")


def load(path):
    """Hands `path` to the page's file input on a freshly opened page and waits for the load's end:
    the new file's name on show, or a message."""
    ENGINE.upload("file-picker", path)
    wait(lambda: idle() and (message_open() or shown_text("idOutputPath")), "the load of " + path.name)


def message_boxes():
    """The texts of the message boxes shown now, one after another, each closed with OK."""
    texts = []
    while message_open():
        texts.append(ENGINE.script("return document.getElementById('message-text').textContent.trim()"))
        ENGINE.click("message-ok")
        time.sleep(0.1)  # the next box opens as the closed one's close event is handled
    return texts


def take_download(timeout=60.0):
    name, path = wait(ENGINE.finished_download, "a download", timeout)
    data = path.read_bytes()
    path.unlink()
    return name, data


def cli(*arguments):
    return subprocess.run([str(ARGS.native / "cli/varnholt-cli"), *map(str, arguments)],
                          capture_output=True, text=True)


def cli_apply(save, arguments):
    result = cli("apply", save, "-o", WORK / "expected.sav", *arguments)
    assert result.returncode == 0, result.stderr
    return (WORK / "expected.sav").read_bytes()


def select(name, index):
    """Picks a list's item as a user's choice does: the index, then its change event."""
    ENGINE.script("const e = document.getElementById(arguments[0]); e.selectedIndex = arguments[1];"
                  "e.dispatchEvent(new Event('input', {bubbles: true}));"
                  "e.dispatchEvent(new Event('change', {bubbles: true}))", c(name), index)


DISABLED_DRAWN_AS_ENABLED = """
const kinds = {};
for (const e of document.querySelectorAll('main select, main button, main input:not([type=checkbox]):not([type=radio])')) {
    if (!e.getClientRects().length) continue;
    const kind = e.tagName === 'INPUT' ? 'INPUT' : e.tagName;
    const k = kinds[kind] || (kinds[kind] = {enabled: {}, disabled: {}});
    k[e.disabled ? 'disabled' : 'enabled'][getComputedStyle(e).color] = e.id;
}
const compared = [], alike = [];
for (const [kind, k] of Object.entries(kinds)) {
    if (!Object.keys(k.enabled).length || !Object.keys(k.disabled).length) continue;
    compared.push(kind);
    for (const [colour, id] of Object.entries(k.disabled))
        if (colour in k.enabled) alike.push(kind + ' #' + id + ' and #' + k.enabled[colour] + ': ' + colour);
}
return [compared, alike];
"""


class CrossEngine(unittest.TestCase):
    maxDiff = None

    def setUp(self):
        for stale in (ENGINE.downloads() or {}).values():
            stale.unlink()

    def test_load_edit_every_group_and_apply_twice(self):
        example = ARGS.source / "examples/late-base-1.5.sav"
        original = example.read_bytes()
        info = json.loads(cli("info", example, "--json").stdout)
        open_page()
        load(example)
        self.assertEqual(message_boxes(), [])
        self.assertEqual(shown_text("idFactionName"), info["factionName"])
        for group in GROUPS:
            ENGINE.click(c(group))
        campaign, battle = (info["campaignDifficulty"] + 1) % 4, (info["battleDifficulty"] + 1) % 4
        select("idCampaignDifficulty", campaign)
        select("idBattleDifficulty", battle)
        ENGINE.click(c("idNoBattleTimeLimit"))
        ENGINE.click(c("idShortCampaign"))
        select("idUnitScaleClass", (info["unitScaleClass"] + 2) % 4)
        ENGINE.type_into(c("idYear"), "123")
        ENGINE.click(c("idBC" if info["isAD"] else "idAD"))
        ENGINE.click(c("idSummer" if info["isWinter"] else "idWinter"))
        scale = int(shown_text("idUnitScale"))
        self.assertNotEqual(scale, info["unitScale"])
        arguments = ["--campaign-difficulty", campaign, "--battle-difficulty", battle,
                     "--time-limit", "on" if info["noBattleTimeLimit"] else "off",
                     "--campaign-length", "long" if info["shortCampaign"] else "short", "--unit-scale", scale,
                     "--year", 123, "--era", "BC" if info["isAD"] else "AD",
                     "--season", "summer" if info["isWinter"] else "winter"]
        expected = cli_apply(example, arguments)
        # Two Applies on the same save: two copies under two names, each shown before it is offered.
        for name in ["Varnholt000.sav", "Varnholt001.sav"]:
            with self.subTest(copy=name):
                self.assertEqual(shown_text("idOutputPath"), name)
                ENGINE.click(c("idApply"))
                got, data = take_download()
                self.assertTrue(data == expected, "%s differs from varnholt-cli apply %s" % (got, arguments))
                self.assertEqual(got, name)
                self.assertEqual(message_boxes(), [])
        self.assertEqual(example.read_bytes(), original)

    def test_damaged_save_and_non_saves_are_refused(self):
        damaged = WORK / "cut-short.sav"  # the start of a save, without its anchor text
        damaged.write_bytes((ARGS.source / "examples/late-base-1.5.sav").read_bytes()[:3000])
        empty = WORK / "empty.sav"
        empty.write_bytes(b"")
        text = WORK / "ten bytes.sav"
        text.write_bytes(b"Not a save")
        for path, reason in [(damaged, "Cannot find descr_strat.txt."), (empty, "Unknown IRD version."),
                             (text, "Unknown IRD version.")]:
            with self.subTest(save=path.name):
                open_page()
                load(path)
                self.assertEqual(message_boxes(), ["Error reading %s: %s" % (path.name, reason)])
                self.assertEqual(shown_text("idOutputPath"), "")
                self.assertFalse(ENGINE.script("return document.getElementById(arguments[0]).disabled === false",
                                               c("idApply")))
        time.sleep(0.5)
        self.assertEqual(ENGINE.downloads(), {})

    def test_german_at_the_narrowest_and_at_desktop_width(self):
        open_page("?lang=de", ENGINE.narrowest)
        self.assertEqual(ENGINE.script("return document.documentElement.lang"), "de")
        load(ARGS.source / "examples/early-base-1.2.sav")  # the longest release text
        self.assertEqual(message_boxes(), [])
        for width in [ENGINE.narrowest, 1280]:
            with self.subTest(width=width):
                ENGINE.set_width(width)
                self.assertEqual(ENGINE.script("return window.innerWidth"), width)
                self.assertEqual(ENGINE.script(OVERFLOWS), [])

    def test_disabled_controls_are_drawn_as_disabled(self):
        open_page()
        load(ARGS.source / "examples/expansion-1.6.sav")
        self.assertEqual(message_boxes(), [])
        ENGINE.click(c("idSetCampaignDifficulty"))  # one list enabled, its neighbour not
        compared, alike = ENGINE.script(DISABLED_DRAWN_AS_ENABLED)
        self.assertIn("SELECT", compared)
        self.assertEqual(alike, [])


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--engine", choices=sorted(engines.ENGINES), required=True)
    for name in ["page", "native", "source"]:
        parser.add_argument("--" + name, type=lambda p: Path(p).resolve(), required=True)
    ARGS, rest = parser.parse_known_args()
    for path in [ARGS.page, ARGS.native / "cli/varnholt-cli"]:
        if not path.exists():
            sys.exit("cross_engine.py: %s is missing (the native build is the default preset's)" % path)
    started = time.monotonic()
    program = unittest.main(argv=[sys.argv[0]] + rest, verbosity=2, exit=False)
    print("%s: %.1f s in all, %.1f s of it to start the browser" % (
        ARGS.engine, time.monotonic() - started, getattr(ENGINE, "start_seconds", 0)))
    sys.exit(not program.result.wasSuccessful())


if __name__ == "__main__":
    main()
