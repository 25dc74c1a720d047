#!/usr/bin/python3
"""A patron at the public catalogue, in headless Chromium.

    browser_test.py CATALOGUE DESK

A desk keeps a data file with a member and a stock of items; the catalogue serves it. At a
phone's width the patron types words into the search form, submits it and reads the statuses;
the desk lends the book and the next search shows it due back. axe-core finds no violation of
WCAG 2.1 AA on the search page, a results page and the page that finds nothing, at a phone's
width and a desktop's, and none of them scrolls sideways. A title typed as markup shows as text,
and nothing of the member is on any page. The results at a phone's width are kept as
browser/catalogue-results-phone.png in the build tree.
"""

import os
import sys

from selenium.webdriver.common.by import By

import browser
from catalogue_programs import MEMBER, STOCK, Catalogue, Desk, due_dates, programs_in

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what)


def results(driver):
    """Each result shown: its title and its status."""
    return [(item.find_element(By.TAG_NAME, "h2").text,
             item.find_element(By.XPATH, ".//dt[.='Status']/following-sibling::dd[1]").text)
            for item in driver.find_elements(By.CSS_SELECTOR, "main li")]


def search(driver, words):
    """Types `words` into the search form's labelled field and submits it."""
    label = driver.find_element(By.XPATH, "//label[.='Words to search for']")
    field = driver.find_element(By.ID, label.get_attribute("for"))
    field.clear()
    field.send_keys(words)
    driver.find_element(By.CSS_SELECTOR, "form button[type=submit]").click()
    browser.wait_for(driver, lambda d: "/search?" in d.current_url
                     and d.execute_script("return document.readyState") == "complete")


def accessible(driver, page, viewport):
    violations = browser.run_axe(driver)
    check(not violations, f"{page} at {viewport}: {browser.describe(violations)}")
    check(not browser.scrolls_sideways(driver), f"{page} scrolls sideways at {viewport}")
    for detail in MEMBER:
        check(detail.decode() not in driver.page_source, f"{page} shows {detail!r}")


def patron(home, desk):
    with browser.chromium(browser.PHONE) as driver:
        driver.get(home)
        accessible(driver, "the search page", "360")
        search(driver, "river road")
        check(results(driver) == [("The River Road", "On the shelf")],
              f"river road: {results(driver)}")
        search(driver, "riv")
        shown = dict(results(driver))
        check(shown.get("River Songs") == "On hold"
              and shown.get("Rivers Quarterly") == "For use in the library"
              and shown.get("\u00c9mile on the River") == "On the shelf", f"riv: {shown}")
        accessible(driver, "a results page", "360")
        search(driver, "alert")
        check(results(driver) == [("<script>alert(1)</script>", "On the shelf")]
              and not driver.find_elements(By.XPATH, "//main//script"),
              f"a title typed as markup: {results(driver)}")

        desk.type(b"2\n1\n918273\n6\nB1\n7\n")  # the member borrows the book
        search(driver, "the river road")
        (title, status), = results(driver) or [("", "")]
        check(title == "The River Road"
              and status in [f"On loan, due back {date}" for date in due_dates(14)],
              f"the loan shows at the next search: {status!r}")
        search(driver, "riv")
        browser.screenshot(driver, "catalogue-results-phone", full_page=True)
        search(driver, "zzyzx")
        check(not results(driver), "zzyzx finds nothing")
        accessible(driver, "the page that finds nothing", "360")
    with browser.chromium(browser.DESKTOP) as driver:
        for page, address in (("the search page", ""), ("a results page", "search?q=atlas"),
                              ("the page that finds nothing", "search?q=zzyzx")):
            driver.get(home + address)
            accessible(driver, page, "1280")


def main():
    catalogue_program, desk_program = (os.path.abspath(path) for path in sys.argv[1:3])
    with programs_in(catalogue_program, desk_program) as (folder, catalogue_program,
                                                           desk_program):
        path = os.path.join(folder, "library.db")
        desk = Desk(desk_program, path)
        catalogue = None
        try:
            desk.type(STOCK)
            catalogue = Catalogue(catalogue_program, path)
            patron(f"http://127.0.0.1:{catalogue.port}/", desk)
        finally:
            if catalogue:
                check(catalogue.stop() == 0, f"the catalogue ends well: {catalogue.errors!r}")
            desk.quit()
    if failures:
        sys.exit(f"{len(failures)} checks failed")
    print("all checks passed")


if __name__ == "__main__":
    main()
