#!/usr/bin/python3
"""The browser edition end to end, in a real headless Chromium, opened from disk.

Loads every example save through the file input and by a drop, edits every group,
and compares Apply's download byte for byte with what the native varnholt-cli writes
for the same edits; shows a damaged save and a non-save with the texts the native
loader writes; completes a load, an edit and Apply with real key events; audits the
page with axe-core; checks every language and the pseudo-language at a phone's and a
desktop's width; applies a 64 MiB save with a progress painted first; and records
every request the page makes. Times are printed, never asserted.

Usage: end_to_end.py --page varnholt.html --native BUILD_DIR --source SOURCE_DIR --axe axe.min.js
"""

import argparse
import hashlib
import json
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

from selenium import webdriver
from selenium.webdriver.chrome.options import Options
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import Select

ARGS = None
DRIVER = None
WORK = None  # a folder of the run's own: saves, downloads
DOWNLOADS = None
REQUESTS = []  # every address the page asked for, from the performance log
FIRST_PAINTS = []  # ms from opening the page to the usable form
ID = {}  # the editor's control identifiers, from editor/EditorLayout.h


def setUpModule():
    global DRIVER, WORK, DOWNLOADS
    for header in ["window/DialogLayout.h", "editor/EditorLayout.h"]:
        for name, number in re.findall(r"inline constexpr int (id\w+) = (\d+);",
                                       (ARGS.source / header).read_text()):
            ID[name] = int(number)
    WORK = Path(tempfile.mkdtemp(prefix="varnholt-web-"))
    DOWNLOADS = WORK / "downloads"
    DOWNLOADS.mkdir()
    options = Options()
    options.binary_location = "/usr/bin/chromium"
    for argument in ["--headless=new", "--no-sandbox", "--disable-gpu", "--window-size=1280,900"]:
        options.add_argument(argument)
    # The languages the browser asks for: French first, for the page's own choice.
    options.add_experimental_option("prefs", {"download.default_directory": str(DOWNLOADS),
                                              "intl.accept_languages": "fr-CH,fr,de"})
    options.set_capability("goog:loggingPrefs", {"performance": "ALL", "browser": "ALL"})
    DRIVER = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    DRIVER.execute_cdp_cmd("Browser.setDownloadBehavior",
                           {"behavior": "allow", "downloadPath": str(DOWNLOADS)})


def tearDownModule():
    if DRIVER:
        DRIVER.quit()
    if WORK:
        shutil.rmtree(WORK, ignore_errors=True)
    if FIRST_PAINTS:
        print("first paint of a usable form: median %.0f ms over %d openings (%s)" % (
            statistics.median(FIRST_PAINTS), len(FIRST_PAINTS),
            ", ".join("%.0f" % t for t in FIRST_PAINTS)))


# --- The page -----------------------------------------------------------------------

def record_requests():
    for entry in DRIVER.get_log("performance"):
        message = json.loads(entry["message"])["message"]
        if message["method"] == "Network.requestWillBeSent":
            REQUESTS.append(message["params"]["request"]["url"])


def wait(condition, what, timeout=10.0):
    end = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > end:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.02)


def open_page(query="?lang=en", width=1280):
    record_requests()
    DRIVER.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                           {"width": width, "height": 900, "deviceScaleFactor": 1, "mobile": False})
    DRIVER.get(ARGS.page.resolve().as_uri() + query)
    usable = wait(lambda: DRIVER.execute_script(
        "return performance.getEntriesByName('varnholt-usable').map(e => e.startTime)[0]"),
        "the usable form")
    FIRST_PAINTS.append(usable)


def set_width(width):
    DRIVER.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                           {"width": width, "height": 900, "deviceScaleFactor": 1, "mobile": False})


def control(name):
    return DRIVER.find_element(By.ID, "c%d" % ID[name])


def value(name):
    return control(name).get_attribute("value")


def status():
    return control("idStatusLine").text


def load_by_picker(path):
    before = value("idSourcePath")
    DRIVER.find_element(By.ID, "file-picker").send_keys(str(path))
    wait(lambda: value("idSourcePath") != before, "the load of " + str(path))


def load_by_drop(paths):
    before = value("idSourcePath")
    x, y = DRIVER.execute_script(
        "const r = document.getElementById('editor').getBoundingClientRect();"
        "return [r.x + r.width / 2, r.y + r.height / 2]")
    data = {"items": [], "files": [str(p) for p in paths], "dragOperationsMask": 1}
    for kind in ["dragEnter", "dragOver", "drop"]:
        DRIVER.execute_cdp_cmd("Input.dispatchDragEvent", {"type": kind, "x": x, "y": y, "data": data})
    if len(paths) == 1:
        wait(lambda: value("idSourcePath") != before, "the drop of " + str(paths[0]))


def message_boxes():
    """The texts of the message boxes now shown, one after another, each closed with OK."""
    texts = []
    while DRIVER.execute_script("return document.getElementById('message').open"):
        texts.append(DRIVER.find_element(By.ID, "message-text").text)
        DRIVER.find_element(By.ID, "message-ok").click()
        time.sleep(0.05)
    return texts


def take_download(timeout=20.0):
    def finished():
        files = [f for f in DOWNLOADS.iterdir() if not f.name.endswith(".crdownload")]
        partial = [f for f in DOWNLOADS.iterdir() if f.name.endswith(".crdownload")]
        return files if files and not partial else None
    files = wait(finished, "a download", timeout)
    assert len(files) == 1, files
    data = files[0].read_bytes()
    name = files[0].name
    files[0].unlink()
    return name, data


def cli(*arguments):
    return subprocess.run([str(ARGS.native / "cli/varnholt-cli"), *map(str, arguments)],
                          capture_output=True, text=True)


def cli_expected(save, arguments):
    out = WORK / "expected.sav"
    result = cli("apply", save, "-o", out, *arguments)
    assert result.returncode == 0, result.stderr
    data = out.read_bytes()
    out.unlink()
    return data


def sha(path):
    return hashlib.sha256(Path(path).read_bytes()).hexdigest()


# --- What the page shows, compared with the native loader --------------------------

def check_shows(test, info):
    test.assertEqual(control("idReleaseLabel").text, info["releaseLabel"])
    test.assertEqual(control("idCampaignName").text, info["campaignName"])
    test.assertEqual(control("idFactionName").text, info["factionName"])
    for list_name, index in [("idCampaignDifficulty", info["campaignDifficulty"]),
                             ("idBattleDifficulty", info["battleDifficulty"])]:
        shown = Select(control(list_name))
        test.assertEqual([o.text for o in shown.options], info["difficultyNames"])
        test.assertEqual(shown.first_selected_option.text, info["difficultyNames"][index])
    test.assertEqual(control("idNoBattleTimeLimit").is_selected(), info["noBattleTimeLimit"])
    test.assertEqual(control("idShortCampaign").is_selected(), info["shortCampaign"])
    test.assertEqual(value("idUnitScale"), str(info["unitScale"]))
    test.assertEqual(Select(control("idUnitScaleClass")).options.index(
        Select(control("idUnitScaleClass")).first_selected_option), info["unitScaleClass"])
    test.assertEqual(value("idYear"), str(info["year"]))
    test.assertEqual(control("idAD").is_selected(), info["isAD"])
    test.assertEqual(control("idWinter").is_selected(), info["isWinter"])
    test.assertEqual(control("idSetCampaignLength").is_enabled(), not info["isExpansion"])


def edits_as_cli_arguments():
    """The settings the page shows now, in varnholt-cli's words, for every ticked group."""
    arguments = []
    if control("idSetCampaignDifficulty").is_selected():
        arguments += ["--campaign-difficulty", Select(control("idCampaignDifficulty")).options.index(
            Select(control("idCampaignDifficulty")).first_selected_option)]
    if control("idSetBattleDifficulty").is_selected():
        arguments += ["--battle-difficulty", Select(control("idBattleDifficulty")).options.index(
            Select(control("idBattleDifficulty")).first_selected_option)]
    if control("idSetBattleTimeLimit").is_selected():
        arguments += ["--time-limit", "off" if control("idNoBattleTimeLimit").is_selected() else "on"]
    if control("idSetCampaignLength").is_selected() and control("idSetCampaignLength").is_enabled():
        arguments += ["--campaign-length",
                      "short" if control("idShortCampaign").is_selected() else "long"]
    if control("idSetUnitScale").is_selected():
        arguments += ["--unit-scale", value("idUnitScale")]
    if control("idSetYearAndSeason").is_selected():
        arguments += ["--year", value("idYear"), "--era", "AD" if control("idAD").is_selected() else "BC",
                      "--season", "winter" if control("idWinter").is_selected() else "summer"]
    return arguments


def keys(*sequence):
    ActionChains(DRIVER).send_keys(*sequence).perform()


def chord(modifier, key):
    ActionChains(DRIVER).key_down(modifier).send_keys(key).key_up(modifier).perform()


def focused_index():
    return DRIVER.execute_script("return document.activeElement.dataset.index")


# --- The English texts, and which each language words otherwise -------------------

def read_po(path):
    entries = {}
    key = None
    current = {}
    for line in path.read_text(encoding="utf-8").splitlines() + [""]:
        match = re.match(r'^(msgid|msgstr) "(.*)"$', line)
        if match:
            key = match.group(1)
            current[key] = json.loads('"%s"' % match.group(2))
        elif line.startswith('"') and key:
            current[key] += json.loads(line)
        elif not line.strip():
            if current.get("msgid"):
                entries[current["msgid"]] = current.get("msgstr", "")
            current, key = {}, None
    return entries


def display_caption(caption):
    return re.sub(r"&(.)", r"\1", caption)


def english_left(language):
    """English texts that `language` words otherwise, as stored and as shown."""
    template = read_po(ARGS.source / "po/varnholt.pot")
    if language == "pseudo":
        words = set(template)
    else:
        translated = read_po(ARGS.source / "po" / (language + ".po"))
        words = {e for e in template if translated.get(e) and translated[e] != e}
    return words | {display_caption(w) for w in words}


SHOWN_TEXTS = """
const texts = [];
const add = (e, t) => { t = (t || '').trim(); if (t) texts.push([e.tagName + '#' + e.id, t]); };
for (const e of document.querySelectorAll('label, legend, button, span.text, h1, h2, a, option, #message-text'))
    if (e.getClientRects().length || e.tagName === 'OPTION') add(e, e.tagName === 'BUTTON' && !e.textContent.trim() ? '' : e.textContent);
for (const e of document.querySelectorAll('[aria-label], [title]')) { add(e, e.getAttribute('aria-label')); add(e, e.title); }
return texts;
"""

OVERFLOWS = """
const fails = [];
const root = document.documentElement;
const width = root.clientWidth;
if (root.scrollWidth > width) fails.push('the page is ' + root.scrollWidth + ' px wide in ' + width);
const name = (e) => e.tagName + '#' + e.id + ' "' + (e.textContent || e.value || '').trim().slice(0, 40) + '"';
const canvas = document.createElement('canvas').getContext('2d');
for (const e of document.querySelectorAll('header *, main *, dialog[open] *')) {
    if (!e.getClientRects().length || e.tagName === 'OPTION') continue;
    const r = e.getBoundingClientRect();
    if (r.left < -0.5 || r.right > width + 0.5) fails.push(name(e) + ' reaches ' + r.left + '..' + r.right);
    if (e.tagName === 'SELECT') {
        const style = getComputedStyle(e);
        canvas.font = style.font;
        const widest = Math.max(...Array.from(e.options, (o) => canvas.measureText(o.text).width));
        // The text, its padding and the arrow.
        if (widest + parseFloat(style.paddingLeft) + 18 > e.clientWidth)
            fails.push(name(e) + ': an item of ' + widest + ' px in ' + e.clientWidth);
    } else if (e.tagName !== 'INPUT' && e.clientWidth && e.scrollWidth > e.clientWidth) {
        fails.push(name(e) + ' cut: ' + e.scrollWidth + ' px in ' + e.clientWidth);
    }
}
return fails;
"""


# --- The run ----------------------------------------------------------------------

class EndToEnd(unittest.TestCase):
    maxDiff = None

    def setUp(self):
        for stale in DOWNLOADS.iterdir():
            stale.unlink()

    def tearDown(self):
        record_requests()

    def test_1_examples_load_edit_and_apply(self):
        open_page()
        self.assertEqual(DRIVER.execute_script("return location.protocol"), "file:")
        examples = sorted((ARGS.source / "examples").glob("*.sav"))
        self.assertEqual(len(examples), 5)
        for number, example in enumerate(examples):
            with self.subTest(example=example.name):
                before = sha(example)
                info = json.loads(cli("info", example, "--json").stdout)
                # By drop: the page shows what the native loader reads.
                load_by_drop([example])
                self.assertEqual(message_boxes(), [])
                self.assertTrue(value("idSourcePath").endswith("/" + example.name))
                check_shows(self, info)
                # Through the file input, then every group edited.
                load_by_picker(example)
                self.assertEqual(message_boxes(), [])
                check_shows(self, info)
                self.assertEqual(value("idOutputPath").rsplit("/", 1)[1], "Varnholt000.sav")
                for box in ["idSetCampaignDifficulty", "idSetBattleDifficulty", "idSetBattleTimeLimit",
                            "idSetUnitScale", "idSetYearAndSeason"] + (
                               [] if info["isExpansion"] else ["idSetCampaignLength"]):
                    if not control(box).is_selected():
                        control(box).click()
                for name, stored in [("idCampaignDifficulty", info["campaignDifficulty"]),
                                     ("idBattleDifficulty", info["battleDifficulty"])]:
                    Select(control(name)).select_by_index((stored + 1 + number) % 4)
                control("idNoBattleTimeLimit").click()
                if not info["isExpansion"]:
                    control("idShortCampaign").click()
                # The size class sets its scale; the spin's arrow steps by 5.
                Select(control("idUnitScaleClass")).select_by_index(number % 4)
                scale = int(value("idUnitScale"))
                arrow = "up" if scale < 160 else "down"
                DRIVER.find_element(By.CSS_SELECTOR, "#c%d .%s" % (ID["idUnitScaleSpin"], arrow)).click()
                self.assertEqual(int(value("idUnitScale")), scale + (5 if arrow == "up" else -5))
                control("idYear").clear()
                control("idYear").send_keys(str(100 + number * 37))
                control("idBC" if info["isAD"] else "idAD").click()
                control("idSummer" if info["isWinter"] else "idWinter").click()
                arguments = edits_as_cli_arguments()
                self.assertEqual(len(arguments), 14 if info["isExpansion"] else 16, arguments)
                control("idApply").click()
                name, data = take_download()
                self.assertEqual(name, "Varnholt000.sav")
                self.assertEqual(data, cli_expected(example, arguments), arguments)
                self.assertNotEqual(data, example.read_bytes())
                self.assertEqual(message_boxes(), [])
                self.assertEqual(sha(example), before)

        # Several files at once: one box asks for one at a time, and nothing is loaded.
        shown = value("idSourcePath")
        load_by_drop(examples[:2])
        self.assertEqual(len(message_boxes()), 1)
        self.assertEqual(value("idSourcePath"), shown)

        # Close ends the editing; the page starts afresh and stays open.
        control("idOk").click()
        wait(lambda: value("idSourcePath") == "", "a fresh editor")
        self.assertEqual(DRIVER.title, "Varnholt")
        self.assertFalse(control("idApply").is_enabled())

    def test_2_damaged_save_and_non_save(self):
        open_page()
        damaged = WORK / "cut-short.sav"
        damaged.write_bytes((ARGS.source / "examples/late-base-1.5.sav").read_bytes()[:3000])
        notes = WORK / "notes.sav"
        notes.write_text("Shopping list: bread, milk, a new campaign.\n" * 40)
        for path in [damaged, notes]:
            with self.subTest(save=path.name):
                result = cli("info", path)
                self.assertEqual(result.returncode, 1)
                expected = result.stderr.strip().splitlines()
                self.assertTrue(expected and all(t.startswith("Error reading ") for t in expected))
                load_by_picker(path)
                page_path = value("idSourcePath")
                self.assertEqual(message_boxes(),
                                 [t.replace(str(path), page_path) for t in expected])
                self.assertFalse(control("idApply").is_enabled())
                self.assertEqual(value("idOutputPath"), "")
        time.sleep(0.5)
        self.assertEqual(list(DOWNLOADS.iterdir()), [])

    def test_3_keyboard_alone(self):
        open_page()
        example = ARGS.source / "examples/early-base-1.2.sav"
        info = json.loads(cli("info", example, "--json").stdout)
        self.assertEqual(DRIVER.switch_to.active_element.get_attribute("id"), "c%d" % ID["idSourcePath"])
        # The About box from the window's menu, by keys; Escape closes it.
        chord(Keys.SHIFT, Keys.TAB)
        keys(Keys.ENTER)
        wait(lambda: DRIVER.execute_script("return !!document.querySelector('dialog.about[open]')"),
             "the About box")
        link = DRIVER.find_element(By.ID, "about-link")
        self.assertEqual(link.get_attribute("href"), "mailto:" + link.text)
        self.assertEqual(DRIVER.switch_to.active_element.get_attribute("id"), "a%d" % 1)
        keys(Keys.ESCAPE)
        wait(lambda: DRIVER.execute_script("return !document.querySelector('dialog.about')"),
             "the About box to close")
        keys(Keys.TAB)
        self.assertEqual(focused_index(), control("idSourcePath").get_attribute("data-index"))

        # A file picker cannot be driven by keys: the file goes to the input, the rest is keys.
        load_by_picker(example)
        self.assertEqual(message_boxes(), [])
        check_shows(self, info)
        visited = [int(focused_index())]

        def tab():
            keys(Keys.TAB)
            visited.append(int(focused_index()))
            return DRIVER.switch_to.active_element.get_attribute("id")

        self.assertEqual(tab(), "c%d" % ID["idRefresh"])
        self.assertEqual(tab(), "c%d" % ID["idBrowse"])
        self.assertEqual(tab(), "c%d" % ID["idSetCampaignDifficulty"])
        keys(Keys.SPACE)
        tab()
        keys(Keys.ARROW_DOWN)
        tab()
        keys(Keys.SPACE)  # battle difficulty
        tab()
        keys(Keys.ARROW_UP)
        tab()
        keys(Keys.SPACE)  # battle time limit
        tab()
        keys(Keys.SPACE)  # no battle time limit
        tab()
        keys(Keys.SPACE)  # long/short campaign
        tab()
        keys(Keys.SPACE)  # short campaign
        self.assertEqual(tab(), "c%d" % ID["idSetUnitScale"])
        keys(Keys.SPACE)
        tab()  # the size class
        self.assertEqual(tab(), "c%d" % ID["idUnitScale"])
        keys(Keys.ARROW_DOWN, Keys.ARROW_DOWN, Keys.ARROW_DOWN)
        self.assertEqual(value("idUnitScale"), str(info["unitScale"] - 15))
        self.assertEqual(tab(), "c%d" % ID["idSetYearAndSeason"])
        keys(Keys.SPACE)
        self.assertEqual(tab(), "c%d" % ID["idYear"])
        chord(Keys.CONTROL, "a")
        keys("321", Keys.ARROW_UP)
        self.assertEqual(value("idYear"), "322")
        # A radio group is one stop, at its ticked button; the arrow ticks the other.
        tab()
        keys(Keys.ARROW_DOWN if not info["isAD"] else Keys.ARROW_UP)
        visited[-1] = int(focused_index())
        tab()
        keys(Keys.ARROW_DOWN if not info["isWinter"] else Keys.ARROW_UP)
        visited[-1] = int(focused_index())
        self.assertEqual(tab(), "c%d" % ID["idApply"])
        self.assertEqual(tab(), "c%d" % ID["idOk"])
        # The Tab order is the description's: every enabled stop once, in its order.
        stops = DRIVER.execute_script(
            "return Array.from(document.querySelectorAll('main [data-index]'))"
            ".filter(e => e.tabIndex >= 0 && !e.disabled && e.getClientRects().length &&"
            " (e.type !== 'radio' || e.checked)).map(e => +e.dataset.index)")
        self.assertEqual(visited, sorted(stops))
        self.assertEqual(visited, sorted(set(visited)))

        self.assertTrue(control("idAD").is_selected() != info["isAD"])
        self.assertTrue(control("idWinter").is_selected() != info["isWinter"])
        arguments = edits_as_cli_arguments()
        self.assertEqual(len(arguments), 16, arguments)
        chord(Keys.SHIFT, Keys.TAB)
        self.assertEqual(DRIVER.switch_to.active_element.get_attribute("id"), "c%d" % ID["idApply"])
        keys(Keys.ENTER)
        name, data = take_download()
        self.assertEqual(data, cli_expected(example, arguments))
        # Escape leaves the page as it is.
        shown = (value("idSourcePath"), status(), DRIVER.current_url)
        keys(Keys.ESCAPE)
        time.sleep(0.2)
        self.assertEqual((value("idSourcePath"), status(), DRIVER.current_url), shown)
        # A prompt from the model: its focus request waits for the box to close.
        control("idYear").click()
        chord(Keys.CONTROL, "a")
        keys(Keys.BACKSPACE)
        control("idApply").click()
        self.assertEqual(len(message_boxes()), 1)
        self.assertEqual(DRIVER.switch_to.active_element.get_attribute("id"), "c%d" % ID["idYear"])

    def test_4_accessibility(self):
        open_page()
        load_by_picker(ARGS.source / "examples/mod-campaign-1.2.sav")
        DRIVER.execute_script(ARGS.axe.read_text(encoding="utf-8"))

        def audit(what):
            violations = DRIVER.execute_async_script(
                "const done = arguments[0];"
                "axe.run(document, {resultTypes: ['violations']}).then("
                "r => done(r.violations.map(v => [v.id, v.help, v.nodes.map(n => n.target.join(' '))])),"
                "e => done([['axe', String(e), []]]))")
            self.assertEqual(violations, [], what)

        audit("the editor")
        DRIVER.find_element(By.CSS_SELECTOR, "#window-menu button").click()
        audit("the About box")
        keys(Keys.ESCAPE)
        load_by_picker(ARGS.page)  # not a save
        audit("a message box")
        message_boxes()

    def test_5_languages_at_phone_and_desktop_width(self):
        # Chosen from the browser's languages (French first), then each by ?lang=.
        open_page("")
        self.assertEqual(DRIVER.execute_script("return document.documentElement.lang"), "fr")
        languages = (ARGS.source / "po/LINGUAS").read_text().split() + ["pseudo"]
        example = ARGS.source / "examples/late-base-1.5.sav"
        for language in languages:
            with self.subTest(language=language):
                open_page("?lang=" + language, 360)
                left = english_left(language)
                load_by_picker(example)
                problems = []
                for width in [360, 1280]:
                    set_width(width)
                    time.sleep(0.05)
                    problems += ["%d px: %s" % (width, f) for f in DRIVER.execute_script(OVERFLOWS)]
                    problems += ["English left: %s %r" % (where, text)
                                 for where, text in DRIVER.execute_script(SHOWN_TEXTS) if text in left]
                    DRIVER.find_element(By.CSS_SELECTOR, "#window-menu button").click()
                    problems += ["%d px, About: %s" % (width, f) for f in DRIVER.execute_script(OVERFLOWS)]
                    problems += ["English left in the About box: %r" % text
                                 for _, text in DRIVER.execute_script(SHOWN_TEXTS) if text in left]
                    keys(Keys.ESCAPE)
                    wait(lambda: DRIVER.execute_script("return !document.querySelector('dialog.about')"),
                         "the About box to close")
                    load_by_picker(ARGS.page)  # not a save: a message box
                    problems += ["%d px, message: %s" % (width, f) for f in DRIVER.execute_script(OVERFLOWS)]
                    message = message_boxes()
                    self.assertEqual(len(message), 1)
                    if language != "pseudo":
                        self.assertFalse(message[0].startswith("Error reading "), message[0])
                    else:
                        self.assertTrue(message[0].startswith("["), message[0])
                    load_by_picker(example)
                self.assertEqual(problems, [])

    def test_6_big_save_applies_with_a_progress(self):
        big = WORK / "big.sav"
        subprocess.run([str(ARGS.native / "tools/savegen/savegen"), "--release", "1.5", "--anchor-gap",
                        "1000", "--size", str(64 << 20), "-o", str(big)], check=True)
        open_page()
        load_by_picker(big)
        self.assertEqual(message_boxes(), [])
        control("idSetYearAndSeason").click()
        control("idYear").clear()
        control("idYear").send_keys("77")
        arguments = edits_as_cli_arguments()
        DRIVER.execute_script("""
            const probe = window.varnholtProbe = {frames: [], tasks: [], shown: null};
            new PerformanceObserver(l => probe.tasks.push(...l.getEntries().map(e => [e.startTime, e.duration])))
                .observe({type: 'longtask'});
            new MutationObserver(() => { if (!document.getElementById('progress').hidden && probe.shown === null)
                probe.shown = performance.now(); })
                .observe(document.getElementById('progress'), {attributes: true});
            const frame = (t) => { probe.frames.push(t); requestAnimationFrame(frame); };
            requestAnimationFrame(frame);""")
        control("idApply").click()
        name, data = take_download(60)
        self.assertEqual(data, cli_expected(big, arguments))
        probe = DRIVER.execute_script("return window.varnholtProbe")
        label = DRIVER.find_element(By.ID, "progress-bar").get_attribute("aria-label")
        self.assertEqual(label, "Apply")
        self.assertIsNotNone(probe["shown"], "no progress was shown")
        self.assertTrue(DRIVER.execute_script("return document.getElementById('progress').hidden"))
        work = max(probe["tasks"], key=lambda t: t[1])
        # A frame began after the progress was shown and before the work: it was painted.
        self.assertTrue(any(probe["shown"] <= f < work[0] for f in probe["frames"]), probe)

        measures = dict(DRIVER.execute_script(
            "return performance.getEntriesByType('measure').map(m => [m.name, m.duration])"))
        native = []
        for _ in range(3):
            started = time.monotonic()
            cli_expected(big, arguments)
            native.append((time.monotonic() - started) * 1000)
        page = measures["varnholt Refresh"] + measures["varnholt Apply"]
        print("64 MiB save: page load %.0f ms + Apply %.0f ms (its longest task %.0f ms) = %.0f ms;"
              " varnholt-cli apply %.0f ms (median of 3, with its own load); %.1fx" % (
                  measures["varnholt Refresh"], measures["varnholt Apply"], work[1], page,
                  statistics.median(native), page / statistics.median(native)))

    def test_7_nothing_leaves_the_machine(self):
        open_page()
        policy = DRIVER.find_element(By.CSS_SELECTOR, "meta[http-equiv=Content-Security-Policy]")
        self.assertIn("connect-src 'none'", policy.get_attribute("content"))
        self.assertIn("default-src 'none'", policy.get_attribute("content"))
        refused = DRIVER.execute_async_script("""
            const done = arguments[0]; let violated = null;
            document.addEventListener('securitypolicyviolation', e => violated = e.violatedDirective);
            fetch('http://127.0.0.1:9/').then(() => done('fetched'),
                () => setTimeout(() => done(violated), 100));""")
        self.assertEqual(refused, "connect-src")
        record_requests()
        self.assertTrue(REQUESTS)
        other = [u for u in REQUESTS if not u.startswith(("file:", "data:", "blob:"))]
        self.assertEqual(other, [])
        console = [e for e in DRIVER.get_log("browser") if e["level"] == "SEVERE"
                   and "127.0.0.1:9" not in e["message"]]
        self.assertEqual(console, [])


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--page", type=Path, required=True)
    parser.add_argument("--native", type=Path, required=True, help="the native build (varnholt-cli, savegen)")
    parser.add_argument("--source", type=Path, required=True)
    parser.add_argument("--axe", type=Path, required=True)
    ARGS, rest = parser.parse_known_args()
    for name in ["page", "native", "source", "axe"]:
        setattr(ARGS, name, getattr(ARGS, name).resolve())
    for path in [ARGS.page, ARGS.native / "cli/varnholt-cli", ARGS.native / "tools/savegen/savegen", ARGS.axe]:
        if not path.exists():
            sys.exit("end_to_end.py: %s is missing (build the default preset, and run npm ci in "
                     "tests/web for axe-core)" % path)
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
