#!/usr/bin/python3
"""Takes the README's pictures of the browser edition: docs/screenshots/web-desktop.png
(1280 px wide) and web-phone.png (360 px), with an example save loaded, and
web-desktop-empty.png and web-phone-empty.png as the page opens, in headless Chromium. Build the page first (bash scripts/build-web.sh).

Usage: /usr/bin/python3 scripts/screenshots-web.py [--lang LL]
"""

import argparse
import time
from pathlib import Path

from selenium import webdriver
from selenium.webdriver.chrome.options import Options
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By

source = Path(__file__).resolve().parent.parent
parser = argparse.ArgumentParser()
parser.add_argument("--lang", default="en")
args = parser.parse_args()

options = Options()
options.binary_location = "/usr/bin/chromium"
for argument in ["--headless=new", "--no-sandbox", "--disable-gpu", "--hide-scrollbars"]:
    options.add_argument(argument)
driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
suffix = "" if args.lang == "en" else "-" + args.lang
try:
    for name, width, scale in [("desktop", 1280, 1), ("phone", 360, 2)]:
        metrics = {"width": width, "height": 800, "deviceScaleFactor": scale, "mobile": width < 600}
        driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", metrics)
        driver.get((source / "build/web/varnholt.html").as_uri() + "?lang=" + args.lang)
        time.sleep(0.5)
        driver.execute_script("document.activeElement.blur()")
        target = source / "docs/screenshots" / ("web-%s-empty%s.png" % (name, suffix))
        driver.save_screenshot(str(target))
        print(target)
        driver.find_element(By.ID, "file-picker").send_keys(str(source / "examples/late-base-1.5.sav"))
        time.sleep(0.5)
        for box in ["c1004", "c1019"]:  # two groups ticked, as a user would have them
            driver.find_element(By.ID, box).click()
        driver.execute_script("document.activeElement.blur()")
        metrics["height"] = driver.execute_script("return document.documentElement.scrollHeight")
        driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", metrics)
        target = source / "docs/screenshots" / ("web-%s%s.png" % (name, suffix))
        driver.save_screenshot(str(target))
        print(target)
finally:
    driver.quit()
