"""A viewer server started as `python -m quorvane viewer --port 0` against the engine under test,
a headless Chromium driven through chromium-driver, and helpers that read and drive the page with
explicit waits. Where Chromium or Selenium is missing the tests skip locally, and fail in
continuous integration (CI set), which installs them."""
import os
import pathlib
import re
import select
import shutil
import subprocess
import sys
import tempfile
import time

import pytest

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.common.exceptions import StaleElementReferenceException
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError:  # reported by the browser fixture
    webdriver = None

ROOT = pathlib.Path(__file__).resolve().parents[3]  # the source tree
CHROMIUM_FLAGS = ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                  "--disable-background-networking", "--disable-component-update", "--disable-sync",
                  "--disable-dev-shm-usage",
                  "--window-size=1400,1300")
WAIT = 120  # seconds an explicit wait may last before the test fails


def _missing(reason):
    if os.environ.get("CI"):
        pytest.fail(reason)
    pytest.skip(reason)


@pytest.fixture(scope="session")
def browser():
    if webdriver is None:
        _missing("python3-selenium is not installed")
    chromium, driver = shutil.which("chromium"), shutil.which("chromedriver")
    if not (chromium and driver):
        _missing("chromium and chromium-driver are not installed")
    options = webdriver.ChromeOptions()
    options.binary_location = chromium
    profile = tempfile.mkdtemp(prefix="quorvane-chromium-")
    for flag in (*CHROMIUM_FLAGS, f"--user-data-dir={profile}"):
        options.add_argument(flag)
    started = webdriver.Chrome(service=Service(driver), options=options)
    try:
        yield started
    finally:
        started.quit()
        shutil.rmtree(profile, ignore_errors=True)


def _address(process):
    """The address the server prints on its first line."""
    deadline = time.monotonic() + WAIT
    line = b""
    while not line.endswith(b"\n"):
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([process.stdout], [], [], left)[0]:
            raise AssertionError("the viewer printed no address in time")
        byte = process.stdout.read(1)
        if not byte:
            raise AssertionError(f"the viewer ended: {line.decode()}")
        line += byte
    return next(word for word in line.decode().split() if word.startswith("http://"))


@pytest.fixture(scope="module")
def start_viewer(program):
    """Starts viewer servers; each is ended after the test module."""
    processes = []

    def start():
        env = dict(os.environ, PYTHONPATH=str(ROOT / "python"))
        process = subprocess.Popen([sys.executable, "-m", "quorvane", "viewer", "--port", "0",
                                    "--program", program], stdout=subprocess.PIPE, env=env,
                                   bufsize=0)
        processes.append(process)
        return _address(process)

    yield start
    for process in processes:
        process.terminate()
        try:
            process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
        process.stdout.close()


@pytest.fixture
def screenshot(browser, request, tmp_path):
    """Saves a screenshot of the page under the test's name, into $QUORVANE_SCREENSHOTS (ctest
    sets it to a folder of the build tree) or the test's temporary folder."""
    folder = pathlib.Path(os.environ.get("QUORVANE_SCREENSHOTS", tmp_path))
    folder.mkdir(parents=True, exist_ok=True)

    def take(name=None):
        path = folder / (re.sub(r"[^\w.-]+", "_", name or request.node.name) + ".png")
        browser.save_screenshot(str(path))
        return path
    return take


def wait(browser, condition, what):
    """Waits until condition(browser) is truthy and returns it; fails naming what was awaited.
    An element redrawn while the condition reads it only means asking again."""
    return WebDriverWait(browser, WAIT, poll_frequency=0.05,
                         ignored_exceptions=(StaleElementReferenceException,)
                         ).until(condition, f"no {what}")


def element(browser, selector):
    return browser.find_element("css selector", selector)


def elements(browser, selector):
    return browser.find_elements("css selector", selector)


def fill(browser, values):
    """Types each value into the form field of that name."""
    for name, value in values.items():
        field = element(browser, f'[name="{name}"]')
        field.clear()
        field.send_keys(str(value))


def open_page(browser, url):
    browser.get(url)
    wait(browser, lambda b: elements(b, "#oop-editor .cell"), "range grid")


def state_is(*states):
    return lambda b: element(b, "#status-line").get_attribute("data-state") in states


def go_to(browser, selector):
    """Clicks an action, a card or a breadcrumb step and waits for the explorer to show its node."""
    target = element(browser, selector)
    path = target.get_attribute("data-path")
    target.click()
    wait(browser, lambda b: element(b, "#explorer").get_attribute("data-path") == path
         and element(b, "#breadcrumb button:last-child").get_attribute("data-path") == path,
         f"node {path}")
    return path
