#!/usr/bin/python3
"""The station's page in a real browser: headless Chromium loads the page that
`aostrack-cli track --http` serves, waits for the countdown to move, enters the
token, chooses another satellite and saves a screenshot.

Usage: browser_test.py BIN_DIR EXAMPLES_DIR SCREENSHOT.png"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import Select, WebDriverWait

SKIP = 77
WAIT_S = 60  # generous: the machine may be busy; each wait ends at its event


def main():
    bin_dir, examples, screenshot = sys.argv[1:4]
    if not shutil.which("chromium") or not shutil.which("chromedriver"):
        print("chromium or chromedriver missing: skipped")
        return SKIP
    work = tempfile.mkdtemp(prefix="aostrack-browser-")
    for name in ("amateur.txt", "doppler.sql"):
        shutil.copy(os.path.join(examples, name), work)
    with open(os.path.join(work, "sat.ini"), "w") as ini:
        ini.write("QTH=Munich JN58SD\nTLEFILE=amateur.txt\nDOPPLERFILE=doppler.sql\n"
                  "QTH_LAT=48.1371\nQTH_LONG=11.5754\nQTH_HEIGHT=0.519\nHTTP_TOKEN=s3cret\n")
    station = subprocess.Popen(
        [os.path.join(bin_dir, "aostrack-cli"), "track", "--config", os.path.join(work, "sat.ini"),
         "--plain", "--http", "127.0.0.1:0", "--start", "2024-02-12T14:40:00Z"],
        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    address = []
    found = threading.Event()

    def read_log():
        for line in station.stderr:
            match = re.search(r"web page at (http://\S+/)", line)
            if match and not address:
                address.append(match.group(1))
                found.set()
    threading.Thread(target=read_log, daemon=True).start()
    browser = None
    try:
        if not found.wait(WAIT_S):
            print("the station never said where its page is")
            return 1
        options = webdriver.ChromeOptions()
        options.binary_location = shutil.which("chromium")
        for flag in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic",
                     "--no-first-run", "--disable-background-networking",
                     "--disable-component-update", "--disable-sync",
                     "--user-data-dir=" + os.path.join(work, "profile"),
                     "--window-size=1200,1000"):
            options.add_argument(flag)
        browser = webdriver.Chrome(service=Service(shutil.which("chromedriver")),
                                   options=options)
        browser.get(address[0])
        wait = WebDriverWait(browser, WAIT_S)
        wait.until(lambda b: b.find_element(By.ID, "link").text == "live")
        first = browser.find_element(By.ID, "countdown").text
        wait.until(lambda b: b.find_element(By.ID, "countdown").text not in ("", "--:--:--", first))
        browser.find_element(By.ID, "token").send_keys("s3cret")
        Select(browser.find_element(By.ID, "satselect")).select_by_visible_text("SAUDISAT 1C (SO-50)")
        browser.find_element(By.ID, "selectbtn").click()
        wait.until(lambda b: b.find_element(By.ID, "satname").text == "SAUDISAT 1C (SO-50)")
        wait.until(lambda b: len(b.find_elements(By.CSS_SELECTOR, "#passes tbody tr")) > 0)
        # A phone's width: nothing may stick out sideways.
        browser.set_window_size(360, 800)
        wide = browser.execute_script("return document.documentElement.scrollWidth")
        if wide > 400:
            print("the page is %d px wide on a 360 px screen" % wide)
            return 1
        browser.set_window_size(1200, 1000)
        browser.save_screenshot(screenshot)
        print("page checked; screenshot in", screenshot)
        return 0
    finally:
        if browser:
            browser.quit()
        station.terminate()
        station.wait(30)
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
