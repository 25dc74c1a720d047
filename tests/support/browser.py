"""Headless Chromium for the browser tests, driven through chromedriver by Selenium 4.

    with browser.chromium(browser.PHONE) as driver:
        driver.get(address)
        browser.screenshot(driver, "results-phone", full_page=True)
        violations = browser.run_axe(driver)
        assert not violations, browser.describe(violations)

The tests run under Debian's own /usr/bin/python3, which has python3-selenium; the browser, its
driver and axe-core are the ones tests/install_test_tools.sh installs. tests/CMakeLists.txt
names them in the environment of each browser test:

    SHELVORANQUIST_CHROMIUM         the browser (default /usr/bin/chromium)
    SHELVORANQUIST_CHROMEDRIVER     its WebDriver (default /usr/bin/chromedriver)
    SHELVORANQUIST_AXE              the pinned axe.min.js (default tests/web/node_modules/...)
    SHELVORANQUIST_BROWSER_OUTPUT   the folder in the build tree for screenshots (default the
                                    working folder, which CTest puts in the build tree)

Nothing is fetched from the network: the browser starts without its background services and
axe-core comes from the disk. Every wait is bounded, and the browser is quit however the block
that uses it ends.
"""

import base64
import contextlib
import os
import pathlib
from dataclasses import dataclass

from selenium import webdriver
from selenium.webdriver.chrome.options import Options
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.remote.remote_connection import RemoteConnection
from selenium.webdriver.support.ui import WebDriverWait

CHROMIUM = os.environ.get("SHELVORANQUIST_CHROMIUM", "/usr/bin/chromium")
CHROMEDRIVER = os.environ.get("SHELVORANQUIST_CHROMEDRIVER", "/usr/bin/chromedriver")
AXE = pathlib.Path(os.environ.get(
    "SHELVORANQUIST_AXE",
    pathlib.Path(__file__).resolve().parents[1] / "web/node_modules/axe-core/axe.min.js"))
OUTPUT = pathlib.Path(os.environ.get("SHELVORANQUIST_BROWSER_OUTPUT", "."))

# Bounds, in seconds: one WebDriver command, one page load, one script (axe on a whole page
# included), and a wait for something to show.
COMMAND_TIMEOUT = 60
PAGE_LOAD_TIMEOUT = 20
SCRIPT_TIMEOUT = 30
WAIT_TIMEOUT = 10

# The WCAG 2.1 levels A and AA, as axe-core tags its rules.
WCAG_21_AA = ("wcag2a", "wcag2aa", "wcag21a", "wcag21aa")


@dataclass(frozen=True)
class Viewport:
    """The size of the page's view in CSS pixels; `mobile` lays the page out as a phone's
    browser does, by its <meta name="viewport">."""
    width: int
    height: int
    mobile: bool


PHONE = Viewport(360, 800, mobile=True)
DESKTOP = Viewport(1280, 900, mobile=False)


@contextlib.contextmanager
def chromium(viewport=DESKTOP):
    """A new headless Chromium showing `viewport`, with a fresh profile; quit on leaving."""
    options = Options()
    options.binary_location = CHROMIUM
    for argument in ("--headless=new", "--disable-dev-shm-usage", "--no-first-run",
                     "--no-default-browser-check", "--disable-background-networking",
                     "--disable-component-update", "--disable-extensions", "--disable-sync"):
        options.add_argument(argument)
    if os.geteuid() == 0:
        # Chromium refuses root without this; CI runs the tests as root.
        options.add_argument("--no-sandbox")
    RemoteConnection.set_timeout(COMMAND_TIMEOUT)
    driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
    try:
        driver.set_page_load_timeout(PAGE_LOAD_TIMEOUT)
        driver.set_script_timeout(SCRIPT_TIMEOUT)
        set_viewport(driver, viewport)
        yield driver
    finally:
        driver.quit()


def set_viewport(driver, viewport):
    """Shows pages at `viewport`, from now on and for every page loaded after. The window alone
    would not do: headless Chromium keeps room for a window's frame out of its height and
    makes no window narrower than 500 pixels."""
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
        "width": viewport.width, "height": viewport.height, "deviceScaleFactor": 1,
        "mobile": viewport.mobile})


def scrolls_sideways(driver):
    """Whether the page now shown is wider than its view."""
    return driver.execute_script(
        "return document.documentElement.scrollWidth > document.documentElement.clientWidth")


def wait_for(driver, condition, timeout=WAIT_TIMEOUT):
    """What `condition(driver)` gives once it is true, polled until `timeout` seconds have
    passed (then selenium's TimeoutException)."""
    return WebDriverWait(driver, timeout).until(condition)


_RUN_AXE = """
const [tags, done] = arguments;
axe.run(document, {runOnly: {type: 'tag', values: tags}, resultTypes: ['violations']})
  .then(results => done({violations: results.violations}),
        error => done({error: String(error)}));
"""


def run_axe(driver, tags=WCAG_21_AA):
    """The rules of `tags` that the page now shown breaks, as axe-core reports them: a list of
    dicts (id, impact, help, nodes with the target of each element), empty when it passes.

    axe.min.js goes into the page through WebDriver, which the page's Content-Security-Policy
    does not govern: a page that forbids every script is checked as it is served."""
    driver.execute_script(AXE.read_text(encoding="utf-8"))
    outcome = driver.execute_async_script(_RUN_AXE, list(tags))
    if "error" in outcome:
        raise RuntimeError(f"axe-core failed on {driver.current_url}: {outcome['error']}")
    return outcome["violations"]


def describe(violations):
    """The violations of run_axe, a line each with the elements that break the rule."""
    return "\n".join(
        f"{violation['id']} ({violation['impact']}): {violation['help']}: "
        + ", ".join(" ".join(map(str, node["target"])) for node in violation["nodes"])
        for violation in violations)


def screenshot(driver, name, full_page=False):
    """Writes the page now shown to OUTPUT/NAME.png, the view alone or the `full_page`, and
    returns the file's path."""
    OUTPUT.mkdir(parents=True, exist_ok=True)
    path = OUTPUT / f"{name}.png"
    if not full_page:
        driver.save_screenshot(str(path))
        return path
    size = driver.execute_cdp_cmd("Page.getLayoutMetrics", {})["cssContentSize"]
    image = driver.execute_cdp_cmd("Page.captureScreenshot", {
        "format": "png", "captureBeyondViewport": True,
        "clip": {"x": 0, "y": 0, "width": size["width"], "height": size["height"], "scale": 1}})
    path.write_bytes(base64.b64decode(image["data"]))
    return path
