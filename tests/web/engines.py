"""One small adapter per browser engine, so that one body of checks drives the page in each:
Chromium and WebKitGTK through Selenium, Firefox ESR through puppeteer-core over WebDriver BiDi
(firefox_bridge.mjs, spoken to over its stdin and stdout).

Every adapter offers the same few verbs: open(url), set_width(px), script(body, *args) (a function
body that reads `arguments`, as Selenium takes it), upload(id, path), click(id), type_into(id, text),
screenshot(path), downloads() and quit(). Downloads land in the folder given to start().
"""

import json
import os
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
MINIBROWSER = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"
PARTIAL = (".crdownload", ".part", ".download", ".tmp")


class Engine:
    name = ""
    narrowest = 360  # the narrowest the window can be, in CSS px

    def __init__(self, downloads):
        self.downloads_folder = Path(downloads)

    def downloads(self):
        """The finished downloads, as {name: path}; a file still being written is left out."""
        files = {p.name: p for p in self.downloads_folder.iterdir() if p.is_file() and not p.name.startswith(".")}
        if any(name.endswith(PARTIAL) for name in files):
            return None
        return files

    def renderer_pids(self):
        """The processes that run the page's script (for memory measurements)."""
        return []

    def finished_download(self):
        """The one finished download as (name, path), its size steady over 0.2 s; None before."""
        files = self.downloads()
        if not files:
            return None
        sizes = {name: path.stat().st_size for name, path in files.items()}
        time.sleep(0.2)
        if (self.downloads() or {}).keys() != sizes.keys() or any(
                path.stat().st_size != sizes[name] for name, path in files.items()):
            return None
        assert len(files) == 1, sorted(files)
        return next(iter(files.items()))


class SeleniumEngine(Engine):
    def open(self, url):
        self.driver.get(url)

    def script(self, body, *args):
        return self.driver.execute_script(body, *args)

    def element(self, element_id):
        from selenium.webdriver.common.by import By
        return self.driver.find_element(By.ID, element_id)

    def upload(self, element_id, path):
        self.element(element_id).send_keys(str(path))

    def click(self, element_id):
        self.element(element_id).click()

    def type_into(self, element_id, text):
        from selenium.webdriver.common.action_chains import ActionChains
        self.script("const e = document.getElementById(arguments[0]); e.focus(); e.select()", element_id)
        ActionChains(self.driver).send_keys(text).perform()

    def screenshot(self, path):
        self.driver.save_screenshot(str(path))

    def quit(self):
        self.driver.quit()


class Chromium(SeleniumEngine):
    """Headless Chromium. The File System Access functions are taken away before the page's
    script runs, so that Apply's copy comes as a download, as in the other engines."""

    name = "chromium"

    def __init__(self, downloads):
        super().__init__(downloads)
        from selenium import webdriver
        from selenium.webdriver.chrome.options import Options
        from selenium.webdriver.chrome.service import Service
        options = Options()
        options.binary_location = "/usr/bin/chromium"
        for argument in ["--headless=new", "--no-sandbox", "--disable-gpu", "--window-size=1280,900"]:
            options.add_argument(argument)
        options.add_experimental_option("prefs", {"download.default_directory": str(downloads)})
        self.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        self.driver.execute_cdp_cmd("Browser.setDownloadBehavior",
                                    {"behavior": "allow", "downloadPath": str(downloads)})
        self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {
            "source": "delete window.showOpenFilePicker; delete window.showSaveFilePicker;"})

    def set_width(self, width):
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                    {"width": width, "height": 900, "deviceScaleFactor": 1, "mobile": False})

    def renderer_pids(self):
        return _descendants(self.driver.service.process.pid,
                            lambda words: "--type=renderer" in words and "--top-chrome-webui" not in words)


class WebKitGTK(SeleniumEngine):
    """MiniBrowser (WebKitGTK, Safari's engine) through WebKitWebDriver, on a display of its own.
    It saves downloads without asking into $HOME, so $HOME is the download folder."""

    name = "webkitgtk"
    narrowest = 447  # MiniBrowser's window is never narrower

    def __init__(self, downloads):
        super().__init__(downloads)
        from selenium import webdriver
        from selenium.webdriver.webkitgtk.options import Options
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1600x1200x24",
                                      "-nolisten", "tcp"], pass_fds=[write], stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as pipe:
            display = pipe.readline().strip()
        if not display:
            raise RuntimeError("Xvfb did not start")
        self.saved_environment = {k: os.environ.get(k) for k in ["DISPLAY", "HOME"]}
        os.environ.update(DISPLAY=":" + display, HOME=str(downloads))
        options = Options()
        options.binary_location = MINIBROWSER
        options.add_argument("--automation")
        self.driver = webdriver.WebKitGTK(executable_path="/usr/bin/WebKitWebDriver", options=options)

    def set_width(self, width):
        self.driver.set_window_size(width, 900)
        # The window's frame takes its own share: make the page itself that wide where it can.
        inner = self.script("return window.innerWidth")
        if inner != width:
            self.driver.set_window_size(max(width, width + (width - inner)), 900)

    def renderer_pids(self):
        return _descendants(self.driver.service.process.pid,
                            lambda words: bool(words) and words[0].endswith("/WebKitWebProcess"))

    def quit(self):
        try:
            self.driver.quit()
        finally:
            self.xvfb.terminate()
            self.xvfb.wait()
            for key, value in self.saved_environment.items():
                if value is None:
                    os.environ.pop(key, None)
                else:
                    os.environ[key] = value


class Firefox(Engine):
    """Headless Firefox ESR through puppeteer-core (npm, tests/web/node_modules) over WebDriver BiDi."""

    name = "firefox"

    def __init__(self, downloads):
        super().__init__(downloads)
        if not (HERE / "node_modules/puppeteer-core").is_dir():
            raise RuntimeError("puppeteer-core is missing: run PUPPETEER_SKIP_DOWNLOAD=1 npm ci in " + str(HERE))
        self.profile_home = Path(tempfile.mkdtemp(prefix="varnholt-firefox-"))
        self.bridge = subprocess.Popen(["node", str(HERE / "firefox_bridge.mjs"), str(downloads)],
                                       stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True,
                                       env=dict(os.environ, HOME=str(self.profile_home)), cwd=HERE)
        self.call("ready")

    def call(self, operation, *args):
        self.bridge.stdin.write(json.dumps({"op": operation, "args": args}) + "\n")
        self.bridge.stdin.flush()
        line = self.bridge.stdout.readline()
        if not line:
            raise RuntimeError("the Firefox bridge ended (exit status %s)" % self.bridge.wait())
        answer = json.loads(line)
        if not answer["ok"]:
            raise RuntimeError("Firefox: %s failed: %s" % (operation, answer["error"]))
        return answer["value"]

    def open(self, url):
        self.call("goto", url)

    def set_width(self, width):
        self.call("viewport", width, 900)

    def script(self, body, *args):
        return self.call("evaluate", body, args)

    def upload(self, element_id, path):
        self.call("upload", "#" + element_id, str(path))

    def click(self, element_id):
        self.call("click", "#" + element_id)

    def type_into(self, element_id, text):
        self.script("const e = document.getElementById(arguments[0]); e.focus(); e.select()", element_id)
        self.call("type", text)

    def screenshot(self, path):
        self.call("screenshot", str(path))

    def renderer_pids(self):
        return _descendants(self.call("pid"), lambda words: "-isForBrowser" in words and words[-1] == "tab")

    def quit(self):
        try:
            self.call("close")
        finally:
            self.bridge.stdin.close()
            self.bridge.wait(30)
            shutil.rmtree(self.profile_home, ignore_errors=True)


def _processes():
    """{pid: (parent pid, command line words)} of every process."""
    found = {}
    for entry in Path("/proc").iterdir():
        if entry.name.isdigit():
            try:
                parent = int((entry / "stat").read_text().rsplit(")", 1)[1].split()[1])
                # Some browsers rewrite their command line as one string: words split on spaces too.
                words = (entry / "cmdline").read_bytes().decode(errors="replace").replace("\0", " ").split()
            except (OSError, ValueError, IndexError):
                continue
            found[int(entry.name)] = (parent, words)
    return found


def _descendants(ancestor, wanted):
    """The processes under `ancestor` whose command line words satisfy `wanted`."""
    processes = _processes()

    def under(pid):
        while pid > 1:
            if pid == ancestor:
                return True
            pid = processes.get(pid, (0,))[0]
        return False
    return [pid for pid, (_, words) in processes.items() if wanted(words) and under(pid)]


ENGINES = {engine.name: engine for engine in [Chromium, Firefox, WebKitGTK]}


def start(name, downloads):
    started = time.monotonic()
    engine = ENGINES[name](downloads)
    engine.start_seconds = time.monotonic() - started
    return engine
