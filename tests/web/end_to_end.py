#!/usr/bin/python3
"""The browser edition end to end, in a real headless Chromium, opened from disk, against the
native varnholt-cli's bytes and texts. Times are printed, never asserted.

Usage: end_to_end.py --page varnholt.html --native BUILD_DIR --source SOURCE_DIR --axe axe.min.js
"""

import argparse
import json
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

import polib
from selenium import webdriver
from selenium.webdriver.chrome.options import Options
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import Select

ARGS = DRIVER = WORK = DOWNLOADS = None
REQUESTS = []  # every address the page asked for, from the performance log
FIRST_PAINTS = []  # ms from opening the page to its usable form
ID = {}  # the controls' identifiers, from the layout headers


def setUpModule():
    global DRIVER, WORK, DOWNLOADS
    for header in ["window/DialogLayout.h", "editor/EditorLayout.h"]:
        for name, number in re.findall(r"constexpr int (id\w+) = (\d+);", (ARGS.source / header).read_text()):
            ID[name] = int(number)
    WORK = Path(tempfile.mkdtemp(prefix="varnholt-web-"))
    DOWNLOADS = WORK / "downloads"
    DOWNLOADS.mkdir()
    options = Options()
    options.binary_location = "/usr/bin/chromium"
    for argument in ["--headless=new", "--no-sandbox", "--disable-gpu", "--window-size=1280,900"]:
        options.add_argument(argument)
    # The browser asks for French first: the page's own choice of language.
    options.add_experimental_option("prefs", {"download.default_directory": str(DOWNLOADS),
                                              "intl.accept_languages": "fr-CH,fr,de"})
    options.set_capability("goog:loggingPrefs", {"performance": "ALL", "browser": "ALL"})
    DRIVER = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    DRIVER.execute_cdp_cmd("Browser.setDownloadBehavior", {"behavior": "allow", "downloadPath": str(DOWNLOADS)})
    # As in a browser without the File System Access API, unless the address asks for it.
    DRIVER.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": """
        if (!location.search.includes('file-system-access')) {
            delete window.showOpenFilePicker;
            delete window.showSaveFilePicker;
        }"""})


def tearDownModule():
    DRIVER.quit()
    shutil.rmtree(WORK, ignore_errors=True)
    print("first paint of a usable form: median %.0f ms over %d openings" % (
        statistics.median(FIRST_PAINTS), len(FIRST_PAINTS)))


def record_requests():
    for entry in DRIVER.get_log("performance"):
        message = json.loads(entry["message"])["message"]
        if message["method"] == "Network.requestWillBeSent":
            REQUESTS.append(message["params"]["request"]["url"])


def wait(condition, what, timeout=10.0):
    end = time.monotonic() + timeout
    while not (result := condition()):
        if time.monotonic() > end:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.02)
    return result


def set_width(width):
    DRIVER.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                           {"width": width, "height": 900, "deviceScaleFactor": 1, "mobile": False})


def open_page(query="?lang=en", width=1280):
    record_requests()
    set_width(width)
    DRIVER.get(ARGS.page.as_uri() + query)
    FIRST_PAINTS.append(wait(lambda: DRIVER.execute_script(
        "return performance.getEntriesByName('varnholt-usable').map(e => e.startTime)[0]"), "the form"))


def control(name):
    return DRIVER.find_element(By.ID, "c%d" % ID[name])


def value(name):
    return control(name).get_attribute("value")


def focused():
    return DRIVER.switch_to.active_element.get_attribute("id")


def keys(*sequence):
    ActionChains(DRIVER).send_keys(*sequence).perform()


def chord(modifier, key):
    ActionChains(DRIVER).key_down(modifier).send_keys(key).key_up(modifier).perform()


def script(text):
    return DRIVER.execute_script(text)


def loads():
    return int(script("return document.body.dataset.loads || 0"))


def load_by_picker(path):
    before = loads()
    DRIVER.find_element(By.ID, "file-picker").send_keys(str(path))
    wait(lambda: loads() > before, "the load of %s" % path)


def load_by_drop(paths):
    before = loads()
    x, y = script("const r = document.getElementById('editor').getBoundingClientRect();"
                  "return [r.x + r.width / 2, r.y + r.height / 2]")
    data = {"items": [], "files": [str(p) for p in paths], "dragOperationsMask": 1}
    for kind in ["dragEnter", "dragOver", "drop"]:
        DRIVER.execute_cdp_cmd("Input.dispatchDragEvent", {"type": kind, "x": x, "y": y, "data": data})
    wait(lambda: loads() > before, "the drop of %s" % paths[0])


def message_boxes():
    """The texts of the message boxes shown now, one after another, each closed with OK."""
    texts = []
    while script("return document.getElementById('message').open"):
        texts.append(DRIVER.find_element(By.ID, "message-text").text)
        DRIVER.find_element(By.ID, "message-ok").click()
        time.sleep(0.1)  # the next box opens as the closed one's close event is handled
    return texts


def take_download(timeout=20.0):
    def finished():
        files = list(DOWNLOADS.iterdir())
        return files if files and not any(f.suffix == ".crdownload" for f in files) else None
    files = wait(finished, "a download", timeout)
    assert len(files) == 1, files
    data = files[0].read_bytes()
    files[0].unlink()
    return files[0].name, data


def cli(*arguments):
    return subprocess.run([str(ARGS.native / "cli/varnholt-cli"), *map(str, arguments)],
                          capture_output=True, text=True)


def cli_apply(save, arguments):
    result = cli("apply", save, "-o", WORK / "expected.sav", *arguments)
    assert result.returncode == 0, result.stderr
    return (WORK / "expected.sav").read_bytes()


SHOWN = ["releaseLabel", "campaignName", "factionName", "difficultyNames", "campaignDifficulty",
         "battleDifficulty", "noBattleTimeLimit", "shortCampaign", "unitScaleClass", "unitScale",
         "year", "isAD", "isWinter", "isExpansion"]


def shown():
    """What the page shows, under the keys of varnholt-cli info --json, and the ticked groups."""
    return DRIVER.execute_script("""
        const id = arguments[0], c = (name) => document.getElementById('c' + id[name]);
        return {releaseLabel: c('idReleaseLabel').textContent, campaignName: c('idCampaignName').textContent,
            factionName: c('idFactionName').textContent,
            difficultyNames: Array.from(c('idCampaignDifficulty').options, (o) => o.text),
            campaignDifficulty: c('idCampaignDifficulty').selectedIndex,
            battleDifficulty: c('idBattleDifficulty').selectedIndex,
            noBattleTimeLimit: c('idNoBattleTimeLimit').checked, shortCampaign: c('idShortCampaign').checked,
            unitScaleClass: c('idUnitScaleClass').selectedIndex, unitScale: +c('idUnitScale').value,
            year: +c('idYear').value, isAD: c('idAD').checked, isWinter: c('idWinter').checked,
            isExpansion: c('idSetCampaignLength').disabled,
            ticked: ['idSetCampaignDifficulty', 'idSetBattleDifficulty', 'idSetBattleTimeLimit',
                     'idSetCampaignLength', 'idSetUnitScale', 'idSetYearAndSeason']
                .filter((name) => c(name).checked && !c(name).disabled)};""", ID)


def edits_as_cli_arguments():
    """The settings the page shows now, in varnholt-cli's words, for every ticked group."""
    s = shown()
    words = {"idSetCampaignDifficulty": ["--campaign-difficulty", s["campaignDifficulty"]],
             "idSetBattleDifficulty": ["--battle-difficulty", s["battleDifficulty"]],
             "idSetBattleTimeLimit": ["--time-limit", "off" if s["noBattleTimeLimit"] else "on"],
             "idSetCampaignLength": ["--campaign-length", "short" if s["shortCampaign"] else "long"],
             "idSetUnitScale": ["--unit-scale", s["unitScale"]],
             "idSetYearAndSeason": ["--year", s["year"], "--era", "AD" if s["isAD"] else "BC",
                                    "--season", "winter" if s["isWinter"] else "summer"]}
    return [word for group in s["ticked"] for word in words[group]]


def english_left(language):
    """The English texts that `language` words otherwise, as stored and as shown."""
    catalogue = ARGS.source / "po" / ("varnholt.pot" if language == "pseudo" else language + ".po")
    words = {e.msgid for e in polib.pofile(str(catalogue)) if language == "pseudo" or e.msgstr not in ("", e.msgid)}
    return words | {re.sub(r"&(.)", r"\1", w) for w in words}


SHOWN_TEXTS = """
const texts = [];
for (const e of document.querySelectorAll('label, legend, button, span.text, h1, h2, a, option, #message-text'))
    if (e.getClientRects().length || e.tagName === 'OPTION') texts.push(e.textContent.trim());
for (const e of document.querySelectorAll('[aria-label], [title]')) texts.push(e.getAttribute('aria-label'), e.title);
return texts.filter((t) => t);
"""

OVERFLOWS = """
const fails = [], width = document.documentElement.clientWidth;
if (document.documentElement.scrollWidth > width) fails.push('the page is wider than ' + width);
const name = (e) => e.tagName + '#' + e.id + ' "' + (e.textContent || e.value || '').trim().slice(0, 40) + '"';
const canvas = document.createElement('canvas').getContext('2d');
for (const e of document.querySelectorAll('header *, main *, dialog[open] *')) {
    if (!e.getClientRects().length || e.tagName === 'OPTION') continue;
    const r = e.getBoundingClientRect();
    if (r.left < -0.5 || r.right > width + 0.5) fails.push(name(e) + ' reaches ' + r.left + '..' + r.right);
    if (e.tagName === 'SELECT') {  // its widest item, padding and arrow
        canvas.font = getComputedStyle(e).font;
        const widest = Math.max(...Array.from(e.options, (o) => canvas.measureText(o.text).width));
        if (widest + parseFloat(getComputedStyle(e).paddingLeft) + 18 > e.clientWidth)
            fails.push(name(e) + ': an item of ' + widest + ' px in ' + e.clientWidth);
    } else if (e.tagName !== 'INPUT' && e.clientWidth && e.scrollWidth > e.clientWidth) {
        fails.push(name(e) + ' cut: ' + e.scrollWidth + ' px in ' + e.clientWidth);
    }
}
return fails;
"""

ABOUT_CLOSED = "return !document.querySelector('dialog.about')"


class EndToEnd(unittest.TestCase):
    maxDiff = None

    def setUp(self):
        for stale in DOWNLOADS.iterdir():
            stale.unlink()

    def tearDown(self):
        record_requests()

    def test_1_examples_load_edit_and_apply(self):
        open_page()
        self.assertEqual(script("return location.protocol"), "file:")
        examples = sorted((ARGS.source / "examples").glob("*.sav"))
        self.assertEqual(len(examples), 5)
        for number, example in enumerate(examples):
            with self.subTest(example=example.name):
                original = example.read_bytes()
                info = json.loads(cli("info", example, "--json").stdout)
                expected = {k: info[k] for k in SHOWN}
                # The page cannot see the game's folders: a 1.2 header says which
                # release it is with the expansion's folder, never guessing.
                if info["releaseLabel"] == "1.2":
                    expected["releaseLabel"] = "1.2 (1.3 with the expansion folder)"
                load_by_drop([example])
                self.assertEqual((message_boxes(), value("idSourcePath")), ([], example.name))
                self.assertEqual({k: v for k, v in shown().items() if k in SHOWN}, expected)
                load_by_picker(example)
                self.assertEqual(message_boxes(), [])
                self.assertEqual({k: v for k, v in shown().items() if k in SHOWN}, expected)
                # The player's own names: nothing of the page's own folders shows.
                self.assertEqual((value("idSourcePath"), value("idOutputPath")), (example.name, "Varnholt000.sav"))
                self.assertEqual(DRIVER.title, "Varnholt - Varnholt000.sav")
                self.assertTrue(control("idSourcePath").get_attribute("readOnly"))
                # Every group edited, with the mouse.
                for box in ["idSetCampaignDifficulty", "idSetBattleDifficulty", "idSetBattleTimeLimit",
                            "idSetUnitScale", "idSetYearAndSeason", "idSetCampaignLength"]:
                    if control(box).is_enabled() and not control(box).is_selected():
                        control(box).click()
                Select(control("idCampaignDifficulty")).select_by_index((info["campaignDifficulty"] + 1) % 4)
                Select(control("idBattleDifficulty")).select_by_index((info["battleDifficulty"] + 1 + number % 3) % 4)
                control("idNoBattleTimeLimit").click()
                if not info["isExpansion"]:
                    control("idShortCampaign").click()
                # A size class sets its scale; the spin's arrow steps it by 5.
                Select(control("idUnitScaleClass")).select_by_index(number % 4)
                scale = int(value("idUnitScale"))
                arrow = ("up", 5) if scale < 160 else ("down", -5)
                DRIVER.find_element(By.CSS_SELECTOR, "#c%d .%s" % (ID["idUnitScaleSpin"], arrow[0])).click()
                self.assertEqual(int(value("idUnitScale")), scale + arrow[1])
                control("idYear").clear()
                control("idYear").send_keys(str(100 + number * 37))
                control("idBC" if info["isAD"] else "idAD").click()
                control("idSummer" if info["isWinter"] else "idWinter").click()
                arguments = edits_as_cli_arguments()
                self.assertEqual(len(arguments), 14 if info["isExpansion"] else 16, arguments)
                control("idApply").click()
                name, data = take_download()
                self.assertEqual(name, "Varnholt000.sav")
                self.assertEqual(data, cli_apply(example, arguments), arguments)
                self.assertNotEqual(data, original)
                self.assertEqual(message_boxes(), [])
                self.assertEqual(example.read_bytes(), original)
                # The page can only say that it offered the copy; the next Apply offers the next name.
                self.assertEqual(control("idStatusLine").text,
                                 "The new saved game file Varnholt000.sav was offered as a download.")
                self.assertEqual(value("idOutputPath"), "Varnholt001.sav")
                if number == 0:
                    control("idApply").click()
                    self.assertEqual(take_download(), ("Varnholt001.sav", data))
                    self.assertEqual(value("idOutputPath"), "Varnholt002.sav")

        # Several files at once: one box asks for one at a time, and nothing is loaded.
        before = value("idSourcePath")
        load_by_drop(examples[:2])
        self.assertEqual((len(message_boxes()), value("idSourcePath")), (1, before))
        # Close ends the editing: the page starts afresh and stays open.
        control("idOk").click()
        wait(lambda: value("idSourcePath") == "", "a fresh editor")
        self.assertEqual((DRIVER.title, control("idApply").is_enabled()), ("Varnholt", False))

    def test_2_damaged_save_and_non_save(self):
        open_page()
        damaged = WORK / "cut-short.sav"
        damaged.write_bytes((ARGS.source / "examples/late-base-1.5.sav").read_bytes()[:3000])
        notes = WORK / "notes.sav"
        notes.write_text("Shopping list: bread, milk, a new campaign.\n" * 40)
        for path in [damaged, notes]:
            with self.subTest(save=path.name):
                result = cli("info", path)
                expected = result.stderr.strip().splitlines()
                self.assertEqual(result.returncode, 1)
                self.assertTrue(expected and all(t.startswith("Error reading ") for t in expected))
                load_by_picker(ARGS.source / "examples/late-base-1.5.sav")
                load_by_picker(path)
                self.assertEqual(message_boxes(), [t.replace(str(path), path.name) for t in expected])
                # Nothing is shown as loaded after a failed load: the form starts afresh.
                self.assertEqual((control("idApply").is_enabled(), value("idOutputPath"), value("idSourcePath"),
                                  control("idCampaignName").text, DRIVER.title), (False, "", "", "", "Varnholt"))
                self.assertTrue(DRIVER.find_element(By.ID, "drop-hint").is_displayed())
        # A file the browser can no longer read (gone from the disk after it was picked).
        gone = WORK / "gone.sav"
        gone.write_bytes((ARGS.source / "examples/late-base-1.5.sav").read_bytes())
        script("const input = document.createElement('input'); input.type = 'file'; input.id = 'test-file';"
               "document.body.append(input);")
        DRIVER.find_element(By.ID, "test-file").send_keys(str(gone))
        # The File is taken (its size read) while the file is there, and read after it is gone.
        self.assertEqual(script("window.picked = document.getElementById('test-file').files[0];"
                                "return window.picked.size"), gone.stat().st_size)
        gone.unlink()
        before = loads()
        script("""const data = new DataTransfer();
            data.items.add(window.picked);
            for (const type of ['dragenter', 'dragover', 'drop'])
                document.dispatchEvent(new DragEvent(type, {dataTransfer: data, bubbles: true, cancelable: true}));""")
        wait(lambda: loads() > before, "the drop of a file that is gone")
        self.assertEqual(message_boxes(), ["Error reading gone.sav: Access to gone.sav was denied."])
        self.assertEqual((value("idSourcePath"), control("idApply").is_enabled()), ("", False))
        time.sleep(0.5)
        self.assertEqual(list(DOWNLOADS.iterdir()), [])

    def test_3_keyboard_alone(self):
        open_page()
        example = ARGS.source / "examples/early-base-1.2.sav"
        info = json.loads(cli("info", example, "--json").stdout)
        self.assertEqual(focused(), "c%d" % ID["idSourcePath"])
        # The About box from the window's menu, by keys; Escape closes it.
        chord(Keys.SHIFT, Keys.TAB)
        keys(Keys.ENTER)
        wait(lambda: script("return !!document.querySelector('dialog.about[open]')"), "the About box")
        link = DRIVER.find_element(By.ID, "about-link")
        self.assertEqual((link.get_attribute("href"), focused()), ("mailto:" + link.text, "a%d" % ID["idOk"]))
        keys(Keys.ESCAPE)
        wait(lambda: script(ABOUT_CLOSED), "the About box to close")
        keys(Keys.TAB)
        self.assertEqual(focused(), "c%d" % ID["idSourcePath"])

        # A file picker takes no keys: the file goes to its input; the rest is keys.
        load_by_picker(example)
        self.assertEqual(message_boxes(), [])
        index = lambda: int(script("return document.activeElement.dataset.index"))  # noqa: E731
        visited = [index()]

        def tab(*then):
            keys(Keys.TAB)
            arrived = focused()
            if then:
                keys(*then)
            visited.append(index())  # a radio group's stop moves with its arrow keys
            return arrived

        self.assertEqual([tab(), tab()], ["c%d" % ID["idRefresh"], "c%d" % ID["idBrowse"]])
        for then in [Keys.SPACE, Keys.ARROW_DOWN,  # campaign difficulty: ticked, the next one
                     Keys.SPACE, Keys.ARROW_UP,  # battle difficulty: ticked, the one before
                     Keys.SPACE, Keys.SPACE,  # battle time limit: ticked, none
                     Keys.SPACE, Keys.SPACE]:  # campaign length: ticked, short
            tab(then)
        self.assertEqual(tab(Keys.SPACE), "c%d" % ID["idSetUnitScale"])
        tab()  # the size class
        self.assertEqual(tab(Keys.ARROW_DOWN, Keys.ARROW_DOWN, Keys.ARROW_DOWN), "c%d" % ID["idUnitScale"])
        self.assertEqual(value("idUnitScale"), str(info["unitScale"] - 15))
        tab(Keys.SPACE)  # year and season
        self.assertEqual(tab(), "c%d" % ID["idYear"])
        chord(Keys.CONTROL, "a")
        keys("321", Keys.ARROW_UP)
        self.assertEqual(value("idYear"), "322")
        tab(Keys.ARROW_UP if info["isAD"] else Keys.ARROW_DOWN)  # the era
        tab(Keys.ARROW_UP if info["isWinter"] else Keys.ARROW_DOWN)  # the season
        self.assertEqual([tab(), tab()], ["c%d" % ID["idApply"], "c%d" % ID["idOk"]])
        # The Tab order is the description's: every enabled stop once, in its order.
        stops = script("return Array.from(document.querySelectorAll('main [data-index]')).filter((e) =>"
                       " e.tabIndex >= 0 && !e.disabled && (e.type !== 'radio' || e.checked))"
                       ".map((e) => +e.dataset.index)")
        self.assertEqual(visited, sorted(stops))
        self.assertEqual(len(visited), len(set(visited)))
        self.assertEqual((shown()["isAD"], shown()["isWinter"]), (not info["isAD"], not info["isWinter"]))
        arguments = edits_as_cli_arguments()
        self.assertEqual(len(arguments), 16, arguments)
        chord(Keys.SHIFT, Keys.TAB)
        keys(Keys.ENTER)
        self.assertEqual(take_download()[1], cli_apply(example, arguments))
        # Escape leaves the page as it is.
        before = (value("idSourcePath"), control("idStatusLine").text, DRIVER.current_url)
        keys(Keys.ESCAPE)
        time.sleep(0.2)
        self.assertEqual((value("idSourcePath"), control("idStatusLine").text, DRIVER.current_url), before)
        # The model's prompt, and its focus request applied once the box is closed.
        control("idYear").click()
        chord(Keys.CONTROL, "a")
        keys(Keys.BACKSPACE)
        control("idApply").click()
        self.assertEqual((len(message_boxes()), focused()), (1, "c%d" % ID["idYear"]))

    def test_4_accessibility(self):
        open_page()
        load_by_picker(ARGS.source / "examples/mod-campaign-1.2.sav")
        script(ARGS.axe.read_text(encoding="utf-8"))

        def audit(what):
            self.assertEqual(DRIVER.execute_async_script(
                "const done = arguments[0]; axe.run(document, {resultTypes: ['violations']}).then("
                "(r) => done(r.violations.map((v) => [v.id, v.help, v.nodes.map((n) => n.target)])),"
                "(e) => done([String(e)]))"), [], what)

        audit("the editor")
        DRIVER.find_element(By.CSS_SELECTOR, "#window-menu button").click()
        audit("the About box")
        keys(Keys.ESCAPE)
        load_by_picker(ARGS.page)  # not a save
        audit("a message box")
        message_boxes()

    def test_5_languages_at_phone_and_desktop_width(self):
        open_page("")  # chosen from the browser's languages
        self.assertEqual(script("return document.documentElement.lang"), "fr")
        example = ARGS.source / "examples/early-base-1.2.sav"  # the longest release text
        for language in (ARGS.source / "po/LINGUAS").read_text().split() + ["pseudo"]:
            with self.subTest(language=language):
                open_page("?lang=" + language, 360)
                left = english_left(language)
                load_by_picker(example)
                problems = []

                def check(where):
                    problems.extend(where + ": " + f for f in script(OVERFLOWS))
                    problems.extend(where + ": English left: " + t for t in script(SHOWN_TEXTS) if t in left)

                for width in [360, 1280]:
                    set_width(width)
                    check("%d px" % width)
                    DRIVER.find_element(By.CSS_SELECTOR, "#window-menu button").click()
                    check("%d px, About" % width)
                    keys(Keys.ESCAPE)
                    wait(lambda: script(ABOUT_CLOSED), "the About box to close")
                    load_by_picker(ARGS.page)  # not a save: a message box
                    check("%d px, message" % width)
                    message = message_boxes()
                    self.assertEqual(len(message), 1)
                    self.assertEqual(message[0].startswith("["), language == "pseudo", message[0])
                    self.assertEqual(message[0].startswith("Error reading "), False, message[0])
                    load_by_picker(example)
                self.assertEqual(problems, [])

    def big_save(self, name, anchor_gap):
        big = WORK / name
        subprocess.run([str(ARGS.native / "tools/savegen/savegen"), "--release", "1.5", "--anchor-gap",
                        str(anchor_gap), "--size", str(64 << 20), "-o", str(big)], check=True)
        open_page()
        load_by_picker(big)
        self.assertEqual(message_boxes(), [])
        control("idSetYearAndSeason").click()
        control("idYear").clear()
        control("idYear").send_keys("77")
        return big, edits_as_cli_arguments()

    def test_6_big_save_applies_as_fast_as_the_cli(self):
        big, arguments = self.big_save("big.sav", 1000)
        control("idApply").click()
        self.assertEqual(take_download(60)[1], cli_apply(big, arguments))
        self.assertTrue(script("return document.getElementById('progress').hidden"))
        measures = dict(script("return performance.getEntriesByType('measure').map(m => [m.name, m.duration])"))
        native = []
        for _ in range(5):
            started = time.monotonic()
            cli("apply", big, "-o", WORK / "native.sav", *arguments)
            native.append((time.monotonic() - started) * 1000)
        page = measures["varnholt load"] + measures["varnholt apply"]
        print("64 MiB save: page load %.0f ms + Apply %.0f ms = %.0f ms until the copy is handed over; "
              "varnholt-cli apply %.0f ms (median of 5); %.2fx" % (
                  measures["varnholt load"], measures["varnholt apply"], page, statistics.median(native),
                  page / statistics.median(native)))

    def test_6_far_anchor_applies_with_a_progress(self):
        # The anchor 40 MiB in: the page reads on to it, and the model reads that far.
        big, arguments = self.big_save("far.sav", 40 << 20)
        script("""
            const probe = window.varnholtProbe = {frames: [], shown: null};
            const progress = document.getElementById('progress');
            new MutationObserver(() => progress.hidden || probe.shown !== null || (probe.shown = performance.now()))
                .observe(progress, {attributes: true});
            const frame = () => { probe.frames.push(performance.now()); requestAnimationFrame(frame); };
            requestAnimationFrame(frame);""")
        control("idApply").click()
        self.assertEqual(take_download(60)[1], cli_apply(big, arguments))
        probe = script("return window.varnholtProbe")
        self.assertEqual(DRIVER.find_element(By.ID, "progress-bar").get_attribute("aria-label"), "Writing the copy")
        self.assertIsNotNone(probe["shown"], "no progress was shown")
        self.assertTrue(script("return document.getElementById('progress').hidden"))
        started = script("return performance.getEntriesByName('varnholt apply starts')[0].startTime")
        # Two frames began between the progress and the work: the first of them was
        # painted with the progress before the work could hold up the page. The
        # probe's callback runs before the page's in a frame, so the frame the work
        # starts in may begin at the same instant.
        between = [f for f in probe["frames"] if probe["shown"] <= f <= started]
        self.assertGreaterEqual(len(between), 2, (started, probe))

    def test_7_nothing_leaves_the_machine(self):
        open_page()
        policy = DRIVER.find_element(By.CSS_SELECTOR, "meta[http-equiv=Content-Security-Policy]")
        self.assertIn("default-src 'none'", policy.get_attribute("content"))
        self.assertIn("connect-src 'none'", policy.get_attribute("content"))
        self.assertEqual(DRIVER.execute_async_script("""
            const done = arguments[0]; let violated = null;
            document.addEventListener('securitypolicyviolation', (e) => violated = e.violatedDirective);
            fetch('http://127.0.0.1:9/').then(() => done('fetched'), () => setTimeout(() => done(violated), 100));
            """), "connect-src")
        record_requests()
        self.assertTrue(REQUESTS)
        self.assertEqual([u for u in REQUESTS if not u.startswith(("file:", "data:", "blob:"))], [])
        self.assertEqual([e for e in DRIVER.get_log("browser")
                          if e["level"] == "SEVERE" and "127.0.0.1:9" not in e["message"]], [])


    def test_8_policy_keeps_the_rules_that_do_not_fall_back(self):
        open_page()
        content = DRIVER.find_element(By.CSS_SELECTOR, "meta[http-equiv=Content-Security-Policy]")\
            .get_attribute("content")
        rules = {words[0]: words[1:] for words in (rule.split() for rule in content.split(";"))}
        self.assertEqual({name: rules[name] for name in ["default-src", "connect-src", "base-uri", "form-action",
                                                         "img-src"]},
                         {"default-src": ["'none'"], "connect-src": ["'none'"], "base-uri": ["'none'"],
                          "form-action": ["'none'"], "img-src": ["data:"]})
        self.assertEqual(sum(w.startswith("'sha256-") for w in rules["script-src"]), 3)
        self.assertIn("'wasm-unsafe-eval'", rules["script-src"])
        self.assertEqual(len(rules["style-src"]), 1)
        # A policy in a meta element cannot say frame-ancestors: it would only be ignored.
        self.assertNotIn("frame-ancestors", rules)
        # What the rules refuse, each reported: a base address, a form sent away, a script put in.
        violated = DRIVER.execute_async_script("""
            const done = arguments[0], violated = [];
            document.addEventListener('securitypolicyviolation', (e) => violated.push(e.effectiveDirective));
            const base = document.createElement('base');
            base.href = 'http://127.0.0.1:9/';
            document.head.append(base);
            const form = document.createElement('form');
            form.action = 'http://127.0.0.1:9/';
            form.method = 'post';
            document.body.append(form);
            form.requestSubmit();
            const inserted = document.createElement('script');
            inserted.textContent = 'window.inserted = true';
            document.body.append(inserted);
            setTimeout(() => done(violated.sort().concat([String(!!window.inserted), location.protocol])), 300);""")
        self.assertEqual(violated, ["base-uri", "form-action", "script-src-elem", "false", "file:"])

    def test_9_a_held_up_key_speeds_the_year_up(self):
        open_page()
        load_by_picker(ARGS.source / "examples/early-base-1.2.sav")
        control("idSetYearAndSeason").click()
        control("idYear").clear()
        control("idYear").send_keys("100")
        # The page's clock is the test's: a press, its repeats, and a fresh press.
        steps = DRIVER.execute_script("""
            const box = arguments[0], steps = [];
            let now = 0;
            performance.now = () => now;
            for (const [at, repeat] of [[0, false], [1000, true], [2500, true], [6000, true], [6050, false]]) {
                now = at;
                const before = +box.value;
                box.dispatchEvent(new KeyboardEvent('keydown', {key: 'ArrowUp', repeat, bubbles: true}));
                steps.push(+box.value - before);
            }
            return steps;""", control("idYear"))
        self.assertEqual(steps, [1, 1, 5, 20, 1])

    def test_10_file_system_access_saves_beside_the_original(self):
        open_page("?lang=en&file-system-access")
        example = ARGS.source / "examples/late-base-1.5.sav"
        # The browser's pickers answered by stubs: the open picker hands over the file
        # of an input of the test's own, the save picker records what it is asked and
        # what is written.
        script("""
            const input = document.createElement('input');
            input.type = 'file';
            input.id = 'test-file';
            document.body.append(input);
            const save = {kind: 'file', name: 'late-base-1.5.sav', getFile: async () => input.files[0]};
            const log = window.pickerLog = {asked: [], written: null, cancel: false};
            window.showOpenFilePicker = async () => [save];
            window.showSaveFilePicker = async (options) => {
                log.asked.push({suggestedName: options.suggestedName, startsBeside: options.startIn === save});
                if (log.cancel) throw new DOMException('cancelled', 'AbortError');
                return {createWritable: async () => {
                    const parts = [];
                    return {write: async (blob) => parts.push(blob), abort: async () => {},
                            close: async () => (log.written = new Blob(parts))};
                }};
            };""")
        DRIVER.find_element(By.ID, "test-file").send_keys(str(example))
        before = loads()
        control("idBrowse").click()
        wait(lambda: loads() > before, "the load through the open picker")
        self.assertEqual((message_boxes(), value("idSourcePath")), ([], example.name))
        control("idSetBattleDifficulty").click()
        Select(control("idBattleDifficulty")).select_by_index(3)
        script("window.pickerLog.cancel = true")
        status = control("idStatusLine").text
        control("idApply").click()
        wait(lambda: script("return window.pickerLog.asked.length") == 1, "the save picker")
        # Cancelled: nothing written, nothing said, the name still free.
        self.assertEqual((message_boxes(), value("idOutputPath"), control("idStatusLine").text),
                         ([], "Varnholt000.sav", status))
        script("window.pickerLog.cancel = false")
        control("idApply").click()
        wait(lambda: control("idStatusLine").text == "Successfully applied changes to new saved game file.",
             "the copy written")
        written = DRIVER.execute_async_script("""
            const done = arguments[0];
            window.pickerLog.written.arrayBuffer().then((b) => done(Array.from(new Uint8Array(b))));""")
        self.assertEqual(bytes(written), cli_apply(example, ["--battle-difficulty", 3]))
        self.assertEqual(script("return window.pickerLog.asked"), [
            {"suggestedName": "Varnholt000.sav", "startsBeside": True}] * 2)
        self.assertEqual(value("idOutputPath"), "Varnholt001.sav")
        self.assertEqual(list(DOWNLOADS.iterdir()), [])


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    for name in ["page", "native", "source", "axe"]:
        parser.add_argument("--" + name, type=lambda p: Path(p).resolve(), required=True)
    ARGS, rest = parser.parse_known_args()
    for path in [ARGS.page, ARGS.native / "cli/varnholt-cli", ARGS.native / "tools/savegen/savegen", ARGS.axe]:
        if not path.exists():
            sys.exit("end_to_end.py: %s is missing (the native build is the default preset's; "
                     "axe-core comes with npm ci in tests/web)" % path)
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
